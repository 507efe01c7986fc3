// The frame's control list, its help pane, menu and icon, item texts and the
// placement text.
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "common/common_library.h"
#include "common/text_utils.h"
#include "controls/dialog_frame.h"
#include "controls/frame_services.h"

namespace {

constexpr int kFirstItemTextSize = 512;
constexpr int kMaxItemTextSize = 1500000;

std::map<void*, int>& PaneReferences() {
  static std::map<void*, int> references;
  return references;
}

std::string g_placement_text;

}  // namespace

FrameControl* AddFrameControl(DialogFrame* frame, void* object, int control_id, HWND window, FrameControlKind kind,
                              FrameControlHandler handler, FrameControlDestroy destroy) {
  if (frame == nullptr || frame->window == nullptr) return nullptr;
  auto* entry = static_cast<FrameControl*>(std::calloc(1, sizeof(FrameControl)));
  if (entry == nullptr) return nullptr;
  entry->kind = kind;
  entry->object = object;
  entry->handler = handler;
  entry->window = window;
  entry->control_id = control_id;
  entry->destroy = destroy;
  if (frame->controls == nullptr) {
    frame->controls = entry;
  } else {
    FrameControl* tail = frame->controls;
    while (tail->next != nullptr) tail = tail->next;
    tail->next = entry;
    entry->previous = tail;
  }
  return entry;
}

void FreeFrameControls(DialogFrame* frame) {
  if (frame == nullptr) return;
  FrameControl* entry = frame->controls;
  frame->controls = nullptr;
  while (entry != nullptr) {
    FrameControl* next = entry->next;
    if (entry->destroy != nullptr) entry->destroy(entry->object);
    std::free(entry);
    entry = next;
  }
}

void ShowContextHelp(DialogFrame* frame, int id) {
  if (frame == nullptr || id == 0 || frame->help_topic_of == nullptr) return;
  if (frame->help_muted || GlobalHelpMute()) return;
  // The help command opens at the focused control's topic, not at whatever
  // menu item or tooltip was passed over last.
  if (id == frame->dialog_id || (frame->window != nullptr && GetDlgItem(frame->window, id) != nullptr)) {
    frame->last_help_id = id;
  }
  const int topic = frame->help_topic_of(id);
  if (topic == 0 || frame->help_pane == nullptr) return;
  const FrameServices& services = FrameServicesTable();
  if (services.show_help_topic != nullptr) services.show_help_topic(frame->help_pane, topic);
}

void AdoptHelpPane(void* pane) {
  if (pane != nullptr) PaneReferences()[pane] = 1;
}

void RetainHelpPane(void* pane) {
  if (pane != nullptr) ++PaneReferences()[pane];
}

void ReleaseHelpPane(void* pane) {
  if (pane == nullptr) return;
  auto& references = PaneReferences();
  auto found = references.find(pane);
  if (found == references.end()) return;
  if (--found->second > 0) return;
  references.erase(found);
  const FrameServices& services = FrameServicesTable();
  if (services.close_help_pane != nullptr) services.close_help_pane(pane);
}

int HelpPaneReferences(void* pane) {
  auto& references = PaneReferences();
  auto found = references.find(pane);
  return found == references.end() ? 0 : found->second;
}

int SetFrameHelp(DialogFrame* frame, const char* help_file, int help_command, HelpTopicFunc topic_of) {
  if (frame == nullptr) return 0;
  const FrameServices& services = FrameServicesTable();
  void* pane = services.open_help_pane != nullptr ? services.open_help_pane(frame, help_file) : nullptr;
  if (pane != nullptr && pane != frame->help_pane) {
    ReleaseHelpPane(frame->help_pane);
    AdoptHelpPane(pane);
    frame->help_pane = pane;
  }
  frame->help_command = help_command;
  frame->help_topic_of = topic_of;
  return frame->help_pane != nullptr ? 1 : 0;
}

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

int ReadItemText(DialogFrame* frame, int control_id, char** text) {
  if (frame == nullptr || frame->window == nullptr || text == nullptr) return 0;
  std::string buffer;
  int size = kFirstItemTextSize;
  int length = 0;
  for (;;) {
    buffer.assign(size, '\0');
    length = static_cast<int>(GetDlgItemTextA(frame->window, control_id, &buffer[0], size));
    if (length < size - 1 || size >= kMaxItemTextSize) break;
    size = size * 2 > kMaxItemTextSize ? kMaxItemTextSize : size * 2;
  }
  buffer.resize(length);
  char* copy = StrDup(buffer.c_str());
  if (copy == nullptr) return 0;
  std::free(*text);
  *text = copy;
  return length;
}

void SetItemText(DialogFrame* frame, int control_id, const char* text) {
  if (frame == nullptr || frame->window == nullptr) return;
  SetDlgItemTextA(frame->window, control_id, text != nullptr ? text : "");
}

void PostFrameMessage(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam) {
  if (frame == nullptr || frame->window == nullptr) return;
  PostMessageA(frame->window, message, wparam, lparam);
}

void RedrawFrame(DialogFrame* frame) {
  if (frame == nullptr || frame->window == nullptr) return;
  RedrawWindow(frame->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

namespace {

// The frame's placement as the placement text describes it.
WindowPlacementValues PlacementValuesOf(const DialogFrame* frame) {
  WindowPlacementValues values;
  values.normal_left = frame->normal_left;
  values.normal_top = frame->normal_top;
  values.normal_right = frame->normal_right;
  values.normal_bottom = frame->normal_bottom;
  values.show_state = frame->show_state;
  const FrameServices& services = FrameServicesTable();
  if (services.read_splitter_drags != nullptr) services.read_splitter_drags(frame, &values.splitter_drags);
  return values;
}

}  // namespace

const char* FormatFramePlacement(const DialogFrame* frame) {
  if (frame == nullptr) return nullptr;
  WindowPlacementValues values = PlacementValuesOf(frame);
  g_placement_text = FormatWindowPlacement(values);
  return g_placement_text.c_str();
}

void ParseFramePlacement(DialogFrame* frame, const char* text) {
  if (frame == nullptr || text == nullptr) return;
  WindowPlacementValues values = PlacementValuesOf(frame);
  ParseWindowPlacement(text, values);
  frame->normal_left = values.normal_left;
  frame->normal_top = values.normal_top;
  frame->normal_right = values.normal_right;
  frame->normal_bottom = values.normal_bottom;
  // Only the three known states are kept; anything else means normal.
  const bool known_state = values.show_state >= kShowNormal && values.show_state <= kShowMinimised;
  frame->show_state = static_cast<uint8_t>(known_state ? values.show_state : int{kShowNormal});
  const FrameServices& services = FrameServicesTable();
  if (services.write_splitter_drags != nullptr) services.write_splitter_drags(frame, values.splitter_drags);
}
