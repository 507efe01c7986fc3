// The frame procedure: the dialog procedure of every frame dialog.
#include "controls/dialog_frame.h"
#include "controls/frame_help_pane.h"
#include "controls/frame_control_list.h"

#include <algorithm>

#include "common/common_library.h"
#include "common/language.h"
#include "controls/dialog_resources.h"
#include "controls/frame_localisation.h"
#include "controls/frame_services.h"
#include "controls/layout_arithmetic.h"

namespace {

constexpr char kFramePropertyName[] = "velmaronprop";
constexpr WORD kComboSetFocus = 3;
constexpr WORD kButtonSetFocus = 6;
constexpr WORD kEditSetFocus = 256;

// Window coordinates are 16-bit.
constexpr int kLargestCoordinate = 32767;

ATOM g_property_atom = 0;
int g_property_uses = 0;

void AttachProperty(HWND window, DialogFrame* frame) {
  if (g_property_atom == 0) g_property_atom = GlobalAddAtomA(kFramePropertyName);
  if (g_property_atom == 0) return;
  if (SetPropA(window, MAKEINTATOM(g_property_atom), frame)) ++g_property_uses;
}

void DetachProperty(HWND window) {
  if (g_property_atom == 0) return;
  if (RemovePropA(window, MAKEINTATOM(g_property_atom)) == nullptr) return;
  if (--g_property_uses > 0) return;
  GlobalDeleteAtom(g_property_atom);
  g_property_atom = 0;
  g_property_uses = 0;
}

DialogFrame* FrameOf(HWND window) { return reinterpret_cast<DialogFrame*>(GetWindowLongPtrA(window, DWLP_USER)); }

bool ProductNameSet() {
  const char* product = LibraryProductName();
  return product != nullptr && product[0] != '\0';
}

void StoreNormalRect(DialogFrame* frame) {
  RECT rect;
  if (!GetWindowRect(frame->window, &rect)) return;
  frame->normal_left = rect.left;
  frame->normal_top = rect.top;
  frame->normal_right = rect.right;
  frame->normal_bottom = rect.bottom;
}

// A stored place may lie on a monitor that is gone, or reach past a screen
// that has become smaller: the window goes wholly onto the work area of the
// nearest monitor, shrunk when it is larger than that area.
RECT OntoAScreen(const RECT& rect) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor)) return rect;
  const RECT& work = monitor.rcWork;
  const LayoutRect fitted =
      MoveInside({rect.left, rect.top, rect.right, rect.bottom}, {work.left, work.top, work.right, work.bottom});
  return {fitted.left, fitted.top, fitted.right, fitted.bottom};
}

// Stored numbers beyond any screen would overflow when added up.
RECT StoredRect(int left, int top, int width, int height) {
  const auto bounded = [](int value) { return std::clamp(value, 0, kLargestCoordinate); };
  return {bounded(left), bounded(top), bounded(left) + bounded(width), bounded(top) + bounded(height)};
}

void MoveWindowOntoScreen(HWND window, const RECT& wanted, UINT flags) {
  const RECT place = OntoAScreen(wanted);
  SetWindowPos(window, HWND_NOTOPMOST, place.left, place.top, place.right - place.left, place.bottom - place.top,
               flags);
}

// The rectangle the window has when it is neither minimised nor maximised,
// in screen coordinates.
bool NormalWindowRect(HWND window, RECT* rect) {
  if (!IsIconic(window) && !IsZoomed(window)) return GetWindowRect(window, rect) != 0;
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return false;
  *rect = placement.rcNormalPosition;
  // The normal position counts from the work area, not the screen.
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST), &monitor)) {
    OffsetRect(rect, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
  }
  return true;
}

// Puts the window where the user left it the last time.
void RestoreStoredLayout(HWND window, DialogFrame* frame) {
  const FrameServices& services = FrameServicesTable();
  if (!ProductNameSet() || services.load_window_layout == nullptr) return;
  StoredWindowLayout stored = {-1, -1, -1, -1, {}};
  const UINT move_flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (IsResizableWindow(window)) {
    frame->normal_right = 0;
    if (!services.load_window_layout(LibraryProductName(), frame->dialog_id, &stored)) return;
    if (stored.left < 0 || stored.top < 0 || stored.width < 0 || stored.height < 0) return;
    if (stored.width == 0 || stored.height == 0) return;
    MoveWindowOntoScreen(window, StoredRect(stored.left, stored.top, stored.width, stored.height), move_flags);
    if (!stored.splitter_drags.empty() && services.write_splitter_drags != nullptr) {
      services.write_splitter_drags(frame, stored.splitter_drags);
    }
  } else if (HasBorderStyle(window)) {
    services.load_window_layout(LibraryProductName(), frame->dialog_id, &stored);
    if (stored.left < 0 || stored.top < 0) return;
    RECT current;
    if (!GetWindowRect(window, &current)) return;
    MoveWindowOntoScreen(
        window, StoredRect(stored.left, stored.top, current.right - current.left, current.bottom - current.top),
        move_flags);
  }
}

void SaveLayout(HWND window, DialogFrame* frame) {
  const FrameServices& services = FrameServicesTable();
  if (!ProductNameSet() || services.save_window_layout == nullptr) return;
  if (!IsResizableWindow(window) && !HasBorderStyle(window)) return;
  RECT rect;
  if (!NormalWindowRect(window, &rect)) return;
  StoredWindowLayout layout = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, {}};
  if (services.read_splitter_drags != nullptr) services.read_splitter_drags(frame, &layout.splitter_drags);
  services.save_window_layout(LibraryProductName(), frame->dialog_id, &layout);
}

// Entries whose control id equals wParam get WM_NOTIFY, WM_CHAR and WM_USER.
bool DispatchToControls(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  for (FrameControl* entry = frame->controls; entry != nullptr; entry = entry->next) {
    if (entry->control_id == 0 || static_cast<WPARAM>(entry->control_id) != wparam || entry->handler == nullptr) {
      continue;
    }
    const int answer = entry->handler(entry->object, message, wparam, lparam);
    if (answer != 0) {
      *result = answer;
      return true;
    }
  }
  return false;
}

bool RunMessageHooks(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam) {
  for (FrameControl* entry = frame->controls; entry != nullptr; entry = entry->next) {
    if (entry->kind != kFrameMessageHookFirst && entry->kind != kFrameMessageHook) continue;
    if (entry->handler != nullptr && entry->handler(entry->object, message, wparam, lparam) != 0) return true;
  }
  return false;
}

bool RunCommandHooks(DialogFrame* frame, WPARAM wparam, LPARAM lparam) {
  const int command = LOWORD(wparam);
  for (FrameControl* entry = frame->controls; entry != nullptr; entry = entry->next) {
    if (entry->kind != kFrameCommandHook || entry->control_id != command || entry->handler == nullptr) continue;
    if (entry->handler(entry->object, WM_COMMAND, wparam, lparam) != 0) return true;
  }
  return false;
}

void InitialiseFrame(HWND window, DialogFrame* frame) {
  ShowContextHelp(frame, frame->dialog_id);
  frame->window = window;
  const FrameServices& services = FrameServicesTable();
  if (services.create_bars_and_menu != nullptr) services.create_bars_and_menu(frame);
  LocaliseDialogWindows(window, frame->dialog_id);
  if (ChildWindowHook hook = GetChildWindowHook()) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      hook(child);
    }
    hook(window);
  }
  if (frame->layout != nullptr && frame->size_hook == nullptr) frame->size_hook = services.layout_engine;
  PostMessageA(window, WM_SIZE, 0, 0);
  if (frame->init_func != nullptr) frame->init_func(frame);
}

// Ends the frame's window in the way it was started.
void CloseWindowOf(DialogFrame* frame, HWND window) {
  if (frame->modal) {
    EndDialog(window, 0);
  } else {
    DestroyWindow(window);
  }
}

void FinishDestroy(HWND window, DialogFrame* frame) {
  SaveLayout(window, frame);
  SetWindowLongPtrA(window, DWLP_USER, 0);
  // A holder may have reused the frame for a newer window already; that one
  // must not be touched.
  if (frame->window == window) {
    DetachProperty(window);
    if (frame->menu != nullptr) {
      if (GetMenu(window) == frame->menu) SetMenu(window, nullptr);
      // The frame's record holds its menu raw (see FreeDialogFrame).
      DestroyMenu(frame->menu);
    }
    frame->window = nullptr;
    frame->menu = nullptr;
    // The window is already on its way out; a modal loop still needs ending.
    if (frame->modal) EndDialog(window, 0);
  } else {
    DetachProperty(window);
  }
  if (frame->auto_free) FreeDialogFrame(frame);
}

// Handlers of the messages the frame answers before the owner sees them.
// Those that return bool answer the message themselves (with *result) when
// they return true: the owner then never sees it.

// At WM_INITDIALOG the frame arrives as the creation parameter.
void AttachCreatedFrame(HWND window, DialogFrame* created) {
  if (created == nullptr) return;
  RestoreStoredLayout(window, created);
  if (HFONT font = LanguageDialogFont()) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(created));
  AttachProperty(window, created);
}

void OnMove(DialogFrame* frame) {
  if (frame->show_state == kShowNormal) StoreNormalRect(frame);
}

void OnSize(DialogFrame* frame, WPARAM size_type) {
  if (size_type == SIZE_MINIMIZED) return;
  if (size_type != SIZE_MAXIMIZED) StoreNormalRect(frame);
  if (frame->size_hook != nullptr) frame->size_hook(frame, nullptr, static_cast<int>(size_type));
}

void OnActivate(DialogFrame* frame, WPARAM wparam) {
  if (LOWORD(wparam) == WA_ACTIVE) ShowContextHelp(frame, frame->dialog_id);
}

bool OnGetMinMaxInfo(DialogFrame* frame, LPARAM lparam, INT_PTR* result) {
  if (frame->min_width == 0) return false;
  auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
  info->ptMinTrackSize.x = frame->min_width;
  info->ptMinTrackSize.y = frame->min_height;
  *result = 0;
  return true;
}

// WM_MEASUREITEM, WM_MENUCHAR, WM_MENUGETOBJECT and menu WM_DRAWITEM.
bool OnMenuMessage(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  const FrameServices& services = FrameServicesTable();
  return services.menu_message != nullptr && services.menu_message(frame, message, wparam, lparam, result);
}

bool OnDrawItem(DialogFrame* frame, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
  if (item == nullptr) return false;
  if (item->CtlType == ODT_MENU) return OnMenuMessage(frame, WM_DRAWITEM, wparam, lparam, result);
  const FrameServices& services = FrameServicesTable();
  if (services.draw_control_item == nullptr || !services.draw_control_item(frame, item)) return false;
  *result = 1;
  return true;
}

// WM_NOTIFY, WM_CHAR and WM_USER go to the registered controls of their id;
// notifications no control answers may come from a toolbar.
bool OnControlMessage(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  if (DispatchToControls(frame, message, wparam, lparam, result)) return true;
  if (message != WM_NOTIFY) return false;
  const FrameServices& services = FrameServicesTable();
  if (services.toolbar_notify == nullptr || !services.toolbar_notify(frame, reinterpret_cast<NMHDR*>(lparam))) {
    return false;
  }
  *result = 1;
  return true;
}

bool OnCommand(DialogFrame* frame, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  if (frame->commands_blocked) {
    *result = 0;
    return true;
  }
  const int command = LOWORD(wparam);
  if (frame->help_command != 0 && frame->help_command == command) {
    const int help_id = frame->last_help_id != 0 ? frame->last_help_id : frame->dialog_id;
    const FrameServices& services = FrameServicesTable();
    if (services.open_help_window != nullptr) services.open_help_window(frame, help_id);
    *result = 1;
    return true;
  }
  const WORD code = HIWORD(wparam);
  if (code == kComboSetFocus || code == kButtonSetFocus || code == kEditSetFocus) {
    ShowContextHelp(frame, command);
    SetLastFocusedListId(0);
  }
  if (!RunCommandHooks(frame, wparam, lparam)) return false;
  *result = 1;
  return true;
}

void OnSysCommand(HWND window, DialogFrame* frame, WPARAM wparam) {
  switch (wparam & 0xFFF0) {
    case SC_MAXIMIZE:
      frame->show_state = kShowMaximised;
      break;
    case SC_MINIMIZE:
      frame->show_state = kShowMinimised;
      break;
    case SC_RESTORE:
      frame->show_state = kShowNormal;
      if (frame->size_hook != nullptr) PostMessageA(window, WM_SIZE, static_cast<WPARAM>(-1), 0);
      break;
    default:
      break;
  }
}

void ForwardToListDrag(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam) {
  const FrameServices& services = FrameServicesTable();
  if (services.list_drag_mouse != nullptr) services.list_drag_mouse(frame, message, wparam, lparam);
}

void ForwardToSplitters(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN && message != WM_LBUTTONUP && message != WM_CAPTURECHANGED) {
    return;
  }
  const FrameServices& services = FrameServicesTable();
  if (services.splitter_mouse != nullptr) services.splitter_mouse(frame, message, wparam, lparam);
}

bool DispatchBeforeOwner(HWND window, DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseFrame(window, frame);
      return false;
    case WM_MOVE:
      OnMove(frame);
      return false;
    case WM_SIZE:
      OnSize(frame, wparam);
      return false;
    case WM_ACTIVATE:
      OnActivate(frame, wparam);
      return false;
    case WM_GETMINMAXINFO:
      return OnGetMinMaxInfo(frame, lparam, result);
    case WM_DRAWITEM:
      return OnDrawItem(frame, wparam, lparam, result);
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
    case WM_MENUGETOBJECT:
      return OnMenuMessage(frame, message, wparam, lparam, result);
    case WM_NOTIFY:
    case WM_CHAR:
    case WM_USER:
      return OnControlMessage(frame, message, wparam, lparam, result);
    case WM_COMMAND:
      return OnCommand(frame, wparam, lparam, result);
    case WM_SYSCOMMAND:
      OnSysCommand(window, frame, wparam);
      return false;
    case WM_MENUSELECT:
      ShowContextHelp(frame, LOWORD(wparam));
      return false;
    case WM_MOUSEMOVE:
    case WM_DROPFILES:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      ForwardToListDrag(frame, message, wparam, lparam);
      return false;
    default:
      return false;
  }
}

// Once the owner has set the dialog up, the window takes the placement the
// frame was given before it opened.
void ApplyOpeningPlacement(HWND window, DialogFrame* frame) {
  if (frame->window != window) return;
  if (frame->normal_right != 0 && frame->show_state == kShowNormal) {
    MoveWindowOntoScreen(window, {frame->normal_left, frame->normal_top, frame->normal_right, frame->normal_bottom},
                         SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (frame->show_state == kShowMaximised) ShowWindow(window, SW_SHOWMAXIMIZED);
}

// An owner answering -1 keeps the window open.
bool OnCloseAnswered(HWND window, DialogFrame* frame, int answer) {
  if (answer == -1 || frame->window != window) return false;
  CloseWindowOf(frame, window);
  return true;
}

// Returns true when the frame closed the window itself: the dialog manager
// must then not turn the close into a second, Cancel, command.
bool DispatchAfterOwner(HWND window, DialogFrame* frame, UINT message, int answer) {
  switch (message) {
    case WM_INITDIALOG:
      ApplyOpeningPlacement(window, frame);
      return false;
    case WM_CLOSE:
      return OnCloseAnswered(window, frame, answer);
    case WM_DESTROY:
      FinishDestroy(window, frame);
      return false;
    default:
      return false;
  }
}

}  // namespace

DialogFrame* FrameFromWindow(HWND window) {
  if (window == nullptr || g_property_atom == 0) return nullptr;
  return static_cast<DialogFrame*>(GetPropA(window, MAKEINTATOM(g_property_atom)));
}

int FramePropertyUseCount() { return g_property_uses; }

INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) AttachCreatedFrame(window, reinterpret_cast<DialogFrame*>(lparam));
  DialogFrame* frame = FrameOf(window);
  if (frame == nullptr) return 0;
  if (RunMessageHooks(frame, message, wparam, lparam)) return 1;

  INT_PTR result = 0;
  if (DispatchBeforeOwner(window, frame, message, wparam, lparam, &result)) return result;
  ForwardToSplitters(frame, message, wparam, lparam);

  // The owner gets its own creation data, not the frame.
  const LPARAM owner_lparam = message == WM_INITDIALOG ? reinterpret_cast<LPARAM>(frame->owner_param) : lparam;
  const int answer = frame->owner_proc != nullptr ? frame->owner_proc(frame, message, wparam, owner_lparam) : 0;

  if (DispatchAfterOwner(window, frame, message, answer)) return 1;
  return answer;
}
