// Texts of the program's string table in the current language, and the
// message boxes that show formatted texts.
#pragma once

#include <windows.h>

// The text of a string-table id, translated when the current language has a
// translation of it; the empty text for an id without a string.  The result
// lives in one of ten buffers used in turn: it stays valid until ten further
// calls.
const char* LoadStringText(UINT id);

// Frees the ten buffers (texts returned earlier become invalid).
void ReleaseStringTexts();

// Formats the text printf-style and shows it with the caption "Error" (in the
// current language) and an OK button.  While one error box is on screen a
// second one is not opened.  1 when shown; 0 for a null format, while another
// error box is open, or when memory runs out.
int ShowErrorBox(HWND owner, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// The same with a caption of the caller's (empty when null), owned by
// `owner` (none when null), and no icon.
int ShowMessageBox(HWND owner, const char* caption, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

enum class MessageBoxIcon { kNone, kInformation, kWarning, kError };

// The same with an icon; a failure told to the user takes kWarning.
int ShowMessageBox(HWND owner, MessageBoxIcon icon, const char* caption, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

// Shows `text` as it is (no format) with a warning icon and an OK button.
// 1 when shown.
int ShowWarningBox(HWND owner, const char* caption, const char* text);

// What shows a message box; MessageBoxA unless a test replaces it.
using MessageBoxFunction = int (*)(HWND owner, const char* text, const char* caption, UINT type);
// Installs a function (null: MessageBoxA again) and returns the previous one.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction show);
