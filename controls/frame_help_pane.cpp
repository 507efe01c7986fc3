#include "controls/frame_help_pane.h"

#include <map>

#include "common/common_library.h"
#include "controls/dialog_frame.h"
#include "controls/frame_services.h"

namespace {

std::map<void*, int>& PaneReferences() {
  static std::map<void*, int> references;
  return references;
}

}  // namespace

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
