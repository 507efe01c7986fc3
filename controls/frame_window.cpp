#include "controls/frame_window.h"

#include "common/common_library.h"
#include "controls/dialog_frame.h"

void SetFrameMenu(DialogFrame* frame, const char* menu_name) {
  if (frame == nullptr) return;
  HMENU old_menu = frame->menu;
  frame->menu_name = menu_name;
  frame->menu = menu_name != nullptr ? LoadMenuA(LibraryInstance(), menu_name) : CreateMenu();
  if (old_menu != nullptr) {
    if (frame->window != nullptr && GetMenu(frame->window) == old_menu) SetMenu(frame->window, frame->menu);
    // The frame's record holds its menu raw (see FreeDialogFrame).
    DestroyMenu(old_menu);
  }
}

void SetFrameIcon(DialogFrame* frame, int icon_id) {
  if (frame == nullptr || frame->window == nullptr) return;
  HICON icon = static_cast<HICON>(LoadImageA(LibraryInstance(), MAKEINTRESOURCEA(icon_id), IMAGE_ICON, 16, 16, 0));
  if (icon == nullptr) return;
  SendMessageA(frame->window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SetClassLongPtrA(frame->window, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
}
