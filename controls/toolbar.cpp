#include "controls/toolbar.h"

#include <cstdio>

#include "common/common_library.h"
#include "common/image_lists.h"
#include "common/strings.h"
#include "common/win_owners.h"
#include "controls/dialog_frame.h"
#include "controls/frame_control_list.h"

namespace {

constexpr DWORD kFlatStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_TRANSPARENT | TBSTYLE_FLAT | TBSTYLE_ALTDRAG |
                             TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_ADJUSTABLE | CCS_NORESIZE;
constexpr DWORD kPlainStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE | CCS_NORESIZE;
// Room above and below the buttons when the toolbar places itself.
constexpr int kToolbarPadding = 4;

DWORD StyleFor(int style) {
  if (style == kToolbarFlatStyle) return kFlatStyle;
  if (style == kToolbarPlainStyle) return kPlainStyle;
  return DWORD(style);
}

bool HasVisibleTexts(const ToolbarRecord& toolbar) {
  if (toolbar.text_of) return true;
  for (const TBBUTTON& button : toolbar.buttons) {
    if (!(button.fsStyle & TBSTYLE_SEP) && button.iString >= 0) return true;
  }
  return false;
}

std::string ButtonText(const ToolbarRecord& toolbar, const TBBUTTON& button) {
  if (toolbar.text_of) {
    const char* text = toolbar.text_of(button.idCommand, toolbar.user_data);
    if (text) return text;
  }
  if (button.iString >= 0) return LoadStringText(UINT(button.iString));
  return std::string();
}

// The button table as the window gets it: visible texts are pointers to our
// copies, and a button without one gets the empty string.
std::vector<TBBUTTON> ButtonsForWindow(ToolbarRecord* toolbar) {
  std::vector<TBBUTTON> buttons = toolbar->buttons;
  if (!HasVisibleTexts(*toolbar)) {
    for (TBBUTTON& button : buttons) button.iString = -1;
    return buttons;
  }
  toolbar->button_texts.assign(buttons.size(), std::string());
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (!(buttons[i].fsStyle & TBSTYLE_SEP)) toolbar->button_texts[i] = ButtonText(*toolbar, toolbar->buttons[i]);
    buttons[i].iString = reinterpret_cast<INT_PTR>(toolbar->button_texts[i].c_str());
  }
  return buttons;
}

int CreateToolbarWindow(ToolbarRecord* toolbar) {
  DialogFrame* frame = toolbar->frame;
  if (toolbar->window || !frame->window) return toolbar->window != nullptr;
  const DWORD style = toolbar->visible ? toolbar->style : (toolbar->style & ~static_cast<DWORD>(WS_VISIBLE));
  toolbar->window =
      CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, frame->window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(toolbar->id)), GetModuleHandleA(nullptr), nullptr);
  if (!toolbar->window) return 0;
  SendMessageA(toolbar->window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(toolbar->window, TB_SETBITMAPSIZE, 0, MAKELPARAM(toolbar->button_width, toolbar->button_height));
  if (toolbar->bitmap_id) {
    TBADDBITMAP bitmap = {LibraryInstance(), UINT_PTR(toolbar->bitmap_id)};
    SendMessageA(toolbar->window, TB_ADDBITMAP, WPARAM(toolbar->image_count), reinterpret_cast<LPARAM>(&bitmap));
  } else {
    SendMessageA(toolbar->window, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(SmallImageList()));
  }
  std::vector<TBBUTTON> buttons = ButtonsForWindow(toolbar);
  SendMessageA(toolbar->window, TB_ADDBUTTONSA, WPARAM(buttons.size()), reinterpret_cast<LPARAM>(buttons.data()));
  RestoreToolbarState(toolbar);
  SendMessageA(toolbar->window, TB_AUTOSIZE, 0, 0);
  return 1;
}

// Until the frame has a layout engine, a toolbar runs along the top of the
// client area.
int PlaceToolbars(void* object, UINT message, WPARAM, LPARAM) {
  auto* frame = static_cast<DialogFrame*>(object);
  if (message != WM_SIZE || frame->size_hook) return 0;
  RECT client = {};
  if (!GetClientRect(frame->window, &client)) return 0;
  for (ToolbarRecord* toolbar = frame->toolbars; toolbar; toolbar = toolbar->next) {
    if (!toolbar->window || !toolbar->visible) continue;
    const DWORD button_size = DWORD(SendMessageA(toolbar->window, TB_GETBUTTONSIZE, 0, 0));
    MoveToolbar(toolbar, 0, 0, int(client.right), int(HIWORD(button_size)) + kToolbarPadding);
  }
  return 0;
}

}  // namespace

ToolbarRecord* AddToolbar(DialogFrame* frame, int toolbar_id, int style, const TBBUTTON* buttons, int button_count,
                          int bitmap_id, int button_width, int button_height) {
  if (!frame || (!buttons && button_count != 0) || button_count < 0) return nullptr;
  int image_count = button_count;
  if (bitmap_id) {
    // The strip is cut into buttons of that width; without one it cannot be.
    if (button_width <= 0) return nullptr;
    GdiObject strip(LoadBitmapA(LibraryInstance(), MAKEINTRESOURCEA(bitmap_id)));
    BITMAP info = {};
    if (!strip || !GetObjectA(strip.get(), sizeof info, &info)) return nullptr;
    image_count = info.bmWidth / button_width;
  }
  auto* toolbar = new ToolbarRecord;
  toolbar->frame = frame;
  toolbar->id = toolbar_id;
  toolbar->bitmap_id = bitmap_id;
  toolbar->buttons.assign(buttons, buttons + button_count);
  toolbar->style = StyleFor(style);
  toolbar->button_width = button_width;
  toolbar->button_height = button_height;
  toolbar->image_count = image_count;
  ToolbarRecord** tail = &frame->toolbars;
  while (*tail) tail = &(*tail)->next;
  *tail = toolbar;
  if (frame->window) CreateToolbarWindow(toolbar);
  return toolbar;
}

void CreateToolbars(DialogFrame* frame) {
  if (!frame || !frame->window || !frame->toolbars) return;
  for (ToolbarRecord* toolbar = frame->toolbars; toolbar; toolbar = toolbar->next) CreateToolbarWindow(toolbar);
  AddFrameControl(frame, frame, 0, nullptr, kFrameMessageHook, PlaceToolbars, nullptr);
}

void ReleaseToolbars(DialogFrame* frame) {
  if (!frame) return;
  while (ToolbarRecord* toolbar = frame->toolbars) {
    frame->toolbars = toolbar->next;
    delete toolbar;
  }
}

ToolbarRecord* FindToolbar(DialogFrame* frame, int toolbar_id) {
  if (!frame) return nullptr;
  for (ToolbarRecord* toolbar = frame->toolbars; toolbar; toolbar = toolbar->next) {
    if (toolbar->id == toolbar_id) return toolbar;
  }
  return nullptr;
}

void SetToolbarVisible(ToolbarRecord* toolbar, bool visible) {
  if (!toolbar) return;
  toolbar->visible = visible;
  if (!toolbar->window) return;
  ShowWindow(toolbar->window, visible ? SW_SHOWNA : SW_HIDE);
  DialogFrame* frame = toolbar->frame;
  if (frame->size_hook) {
    frame->size_hook(frame, nullptr, -1);
  } else if (frame->window) {
    PlaceToolbars(frame, WM_SIZE, 0, 0);
  }
  if (frame->window) InvalidateRect(frame->window, nullptr, TRUE);
}

void MoveToolbar(ToolbarRecord* toolbar, int x, int y, int width, int height) {
  if (!toolbar || !toolbar->window) return;
  HDWP moves = BeginDeferWindowPos(1);
  if (!moves) return;
  moves = DeferWindowPos(moves, toolbar->window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (moves) EndDeferWindowPos(moves);
}

void EnableToolbarButton(ToolbarRecord* toolbar, int command, bool enable) {
  if (!toolbar || !toolbar->window) return;
  SendMessageA(toolbar->window, TB_ENABLEBUTTON, WPARAM(command), MAKELPARAM(enable ? TRUE : FALSE, 0));
}

void RelabelToolbar(ToolbarRecord* toolbar) {
  if (!toolbar || !toolbar->window || !HasVisibleTexts(*toolbar)) return;
  for (const TBBUTTON& button : toolbar->buttons) {
    if (button.fsStyle & TBSTYLE_SEP) continue;
    std::string text = ButtonText(*toolbar, button);
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = &text[0];
    SendMessageA(toolbar->window, TB_SETBUTTONINFOA, WPARAM(button.idCommand), reinterpret_cast<LPARAM>(&info));
  }
  SendMessageA(toolbar->window, TB_AUTOSIZE, 0, 0);
}

std::string ToolbarStateKey(int toolbar_id) {
  const char* product = LibraryProductName();
  char key[300];
  std::snprintf(key, sizeof key, "Software\\Velmaron\\%s\\Toolbar\\%d", product ? product : "", toolbar_id);
  return key;
}

bool SaveToolbarState(const ToolbarRecord* toolbar) {
  if (!toolbar || !toolbar->window || toolbar->restoring) return false;
  const std::string key = ToolbarStateKey(toolbar->id);
  TBSAVEPARAMSA where = {HKEY_CURRENT_USER, key.c_str(), ""};
  return SendMessageA(toolbar->window, TB_SAVERESTOREA, TRUE, reinterpret_cast<LPARAM>(&where)) != 0;
}

bool RestoreToolbarState(ToolbarRecord* toolbar) {
  if (!toolbar || !toolbar->window) return false;
  const std::string key = ToolbarStateKey(toolbar->id);
  // The control empties itself before it reads the saved order: ask first,
  // so that a toolbar never saved keeps its buttons.
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  RegistryKey saved(opened);
  DWORD size = 0;
  if (RegQueryValueExA(saved.get(), "", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0) return false;
  TBSAVEPARAMSA where = {HKEY_CURRENT_USER, key.c_str(), ""};
  toolbar->restoring = true;
  const bool restored = SendMessageA(toolbar->window, TB_SAVERESTOREA, FALSE, reinterpret_cast<LPARAM>(&where)) != 0;
  toolbar->restoring = false;
  return restored;
}
