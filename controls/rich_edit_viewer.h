// A rich edit control on a dialog that shows rich text with clickable links.
// Links are written in the text as "<A HREF=...>title</A>"; setting the text
// turns each into its blue, underlined title and a link record.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogFrame;
struct RichEditViewer;

enum RichViewerFlags : unsigned {
  kRichViewerDetectUrls = 1,  // the control marks plain addresses itself
  kRichViewerLinks = 16,      // link markup is converted and clicks reported
};

struct RichLink {
  std::string url;  // resolved against the viewer's base
  LONG first;       // first character of the title in the control
  LONG last;        // one past its last character
};

// Runs for a click on a link; nonzero means handled.  Without a handler, or
// when it answers 0, the link is opened in the browser.  `viewer` is null
// for a link followed in a browser control (see page_view.h).
using RichLinkHandler = int (*)(void* owner, RichEditViewer* viewer, const RichLink& link);
// Opens a link that no handler took (test seam; default OpenCheckedLink
// with the browser setting below).
using RichLinkOpener = int (*)(HWND owner, const RichLink& link);
// The browser the user chose for web pages, read at each click so that a
// change in the preferences counts at once; empty: the detected default.
using RichBrowserSetting = std::string (*)();

// Loads "riched32.dll" and "riched20.dll" once; 1 when either is present.
int LoadRichEditLibraries();
// The window class of the newest rich edit control present.
const char* RichEditClassName();

// Wraps the rich edit control `control_id` of the frame's window and adds
// it to the frame's controls (freed with them).  Null without the control.
RichEditViewer* CreateRichEditViewer(DialogFrame* frame, int control_id, unsigned flags);
// Frees a viewer that was not added to a frame.
void DestroyRichEditViewer(RichEditViewer* viewer);

// Streams `rtf` into the control, clears its modified flag and (with
// kRichViewerLinks) converts link markup, resolving against `base` (may be
// null).  Scrolls to the top and keeps the focus where it was.  1 on success.
int SetRichViewerText(RichEditViewer* viewer, const char* rtf, const char* base);

void SetRichViewerLinkHandler(RichEditViewer* viewer, RichLinkHandler handler, void* owner);
void SetRichLinkOpener(RichLinkOpener opener);                 // null: the default
void SetRichViewerBrowserSetting(RichBrowserSetting setting);  // null: none
void SetRichViewerBackground(RichEditViewer* viewer, COLORREF colour);

HWND RichViewerWindow(const RichEditViewer* viewer);
const std::vector<RichLink>& RichViewerLinks(const RichEditViewer* viewer);

// Opens a link no handler took, as a click in a viewer does: with the opener
// set for tests, else in the user's browser.  Nonzero when it was opened.
int OpenRichLink(HWND owner, const RichLink& link);

// What a link click over characters [first, last) does: the first link
// record inside a range of 1 to 500 characters is handed to the handler or
// opened.  Returns nonzero when a link was followed.
int FollowRichViewerLink(RichEditViewer* viewer, LONG first, LONG last);
