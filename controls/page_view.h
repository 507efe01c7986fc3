// Showing an HTML page in a dialog's viewer area: written into the browser
// control when it gives a document, else shown as rich text with links.
#pragma once

#include <windows.h>

#include "controls/rich_edit_viewer.h"

struct DialogFrame;
struct PageView;

struct PageViewOptions {
  RichLinkHandler link_handler = nullptr;  // null: links open in the browser
  void* link_owner = nullptr;
  COLORREF background = RGB(255, 255, 255);
};

// Takes over the viewer control `control_id` of the frame's window (a
// browser hosting control, a rich edit control, or any placeholder) and adds
// itself to the frame's controls, freed with them.  Null without the control.
// A link followed in the browser control goes where a click on it in rich
// text goes (the link handler, else the user's browser, refused links
// nowhere); the control itself never leaves the page written into it.
PageView* AttachPageView(DialogFrame* frame, int control_id, const PageViewOptions& options);

// Shows `html` (code page from its charset declaration); links resolve
// against `base` (may be null).  The first page the browser cannot take
// replaces the control by a rich edit viewer of the same id and place, which
// shows this and every later page.  1 when the page is shown.
int ShowPage(PageView* view, const char* html, const char* base);

// The rich edit viewer once the view fell back to it, else null.
RichEditViewer* PageViewRichViewer(const PageView* view);
// Whether the pages go into the browser control.
bool PageViewUsesBrowser(const PageView* view);
