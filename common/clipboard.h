// Plain text to and from the clipboard.
#pragma once

#include <windows.h>

// 1 when the text is on the clipboard as CF_TEXT.
int CopyTextToClipboard(HWND owner, const char* text);

// A copy of the clipboard's text, or null when the clipboard cannot be
// opened or holds no text.  Valid until the next call or shutdown.
const char* PasteTextFromClipboard(HWND owner);

// Frees the copy kept by PasteTextFromClipboard.
void ReleaseClipboardCopy();
