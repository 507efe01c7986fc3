// Shared between the source files of the list view wrapper.
#pragma once

#include "controls/list_view.h"

bool SplitterDragActive();
void ListViewDisplayText(ListViewCtl* list, NMLVDISPINFOA* info);
int ListViewColumnSort(ListViewCtl* list, int column);
void ListViewBeginDrag(ListViewCtl* list, NMLISTVIEW* notice);
enum class ContextMenuFrom { kMouse, kKeyboard };
// The list's context menu, at the cursor for the mouse, at the focused item
// for the keyboard.
void ListViewContextMenu(ListViewCtl* list, ContextMenuFrom from = ContextMenuFrom::kMouse);
// Forgets an edit started by ListViewEditCurrent: its buffer belongs to an
// item that may be freed once the edit is over.
void ClearEditState(ListViewCtl* list);

// Puts the frame's list-drag mouse handling in place (once).
void InstallListDragService();
// Drops every reference the process-wide drag state holds to the list.
void ForgetDragState(ListViewCtl* list);
