#include "controls/popup_menu.h"

namespace {

int g_tracked_popups = 0;

class TrackedPopup {
 public:
  TrackedPopup() { ++g_tracked_popups; }
  ~TrackedPopup() { --g_tracked_popups; }
  TrackedPopup(const TrackedPopup&) = delete;
  TrackedPopup& operator=(const TrackedPopup&) = delete;
};

}  // namespace

int TrackOwnerPopup(HWND owner, MenuData* data, int x, int y, MenuIconFunc icon_of) {
  if (!data || !data->menu) {
    FreeMenuData(data);
    return 0;
  }
  if (icon_of) data->icon_of = icon_of;
  HMENU menu = data->menu;
  HMENU tracked = GetSubMenu(menu, 0) ? GetSubMenu(menu, 0) : menu;
  // Tracking needs a window of this thread even when nobody gets the command.
  HWND tracker = owner ? owner : (data->owner ? data->owner : GetActiveWindow());
  int command = 0;
  if (tracker) {
    TrackedPopup counted;
    command = int(TrackPopupMenu(tracked, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, tracker, nullptr));
  }
  if (command != 0 && owner) {
    const UINT state = GetMenuState(tracked, UINT(command), MF_BYCOMMAND);
    if (state == UINT(-1) || !(state & (MF_GRAYED | MF_DISABLED))) {
      PostMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    PostMessageA(owner, WM_ACTIVATE, WA_ACTIVE, 0);
  }
  FreeMenuData(data);
  DestroyMenu(menu);
  return command;
}

int TrackedPopupCount() { return g_tracked_popups; }
