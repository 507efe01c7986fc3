#include "app/help_language.h"

#include "app/startup_tables.h"
#include "app/tips_viewer.h"
#include "controls/dialog_frame.h"
#include "controls/frame_help_pane.h"
#include "controls/help_doc.h"
#include "res/main_window_ids.h"

namespace {

void ReopenMainHelp(DialogFrame* main_frame) {
  // A frame without context help gets none from a language switch.
  if (main_frame->help_topic_of == nullptr) return;
  auto* old_doc = static_cast<HelpDoc*>(main_frame->help_pane);
  const bool window_open = HelpDocumentWindow(old_doc) != nullptr;
  DialogFrame* window_owner = old_doc != nullptr ? old_doc->owner_frame : nullptr;
  const int topic = old_doc != nullptr ? old_doc->current_topic : 0;
  // Releasing the old document closes its window.
  SetFrameHelp(main_frame, kMainHelpPage, main_frame->help_command, main_frame->help_topic_of);
  auto* new_doc = static_cast<HelpDoc*>(main_frame->help_pane);
  if (!window_open || new_doc == nullptr || new_doc == old_doc) return;
  if (window_owner == nullptr) window_owner = main_frame;
  OpenHelpWindow(window_owner, new_doc, window_owner->last_help_id);
  if (topic > 0) ShowHelpTopic(new_doc, topic);
}

}  // namespace

void ReopenHelpInLanguage(DialogFrame* main_frame, AppSettings& settings) {
  if (main_frame != nullptr) ReopenMainHelp(main_frame);
  ReopenTipsViewer(settings);
}
