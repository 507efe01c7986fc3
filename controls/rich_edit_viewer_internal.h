// The viewer record shared by the viewer and its editing support.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "controls/edit_history.h"
#include "controls/rich_edit_viewer.h"

struct RichEditViewer {
  HWND window = nullptr;
  unsigned flags = 0;
  std::vector<RichLink> links;
  RichLinkHandler handler = nullptr;
  void* owner = nullptr;
  EditHistory history;
  bool applying_edit = false;  // the change notifications are our own edits
};

// The number of characters in the control, one per paragraph break.
LONG RichTextLength(HWND window);
// Up to `length` characters of the control's text (GT_DEFAULT) or of its
// selection (GT_SELECTION).
std::wstring ReadRichText(HWND window, LONG length, DWORD flags);

// A key, character or mouse message the control offers to its dialog before
// acting on it.  True when the viewer handled it and the control must not.
bool FilterViewerInput(RichEditViewer* viewer, const MSGFILTER& filter);
// A change notification: a change the viewer did not make itself leaves the
// recorded edits pointing at the wrong text, so they are dropped.
void NoteViewerChange(RichEditViewer* viewer);
