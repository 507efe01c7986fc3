#include "app/tips_viewer.h"

#include "controls/help_doc.h"

namespace {

constexpr int kStartupTipCount = 9;

HelpDoc* g_tips = nullptr;
// Whether the viewer was created, even when its document could not be read:
// another language may have one.
bool g_tips_created = false;
// Start-up leaves the document closed until the first tip is wanted: opening
// it reads the whole document and writes its topic index.
bool g_tips_deferred = false;

void OpenDeferredViewer(const AppSettings& settings) {
  if (g_tips_deferred && !g_tips_created) CreateTipsViewer(settings);
}

}  // namespace

void CreateTipsViewer(const AppSettings& settings) {
  ReleaseTipsViewer();
  unsigned flags = kHelpTipsStyle | kHelpNavigation;
  if (settings.tips != 0) flags |= kHelpTipsAtStartup;
  g_tips = OpenHelpDocument(kTipsPage, kTipsResourceId, flags);
  g_tips_created = true;
  g_tips_deferred = false;
}

void DeferTipsViewer() {
  ReleaseTipsViewer();
  g_tips_deferred = true;
}

void ReleaseTipsViewer() {
  CloseHelpDocument(g_tips);
  g_tips = nullptr;
  g_tips_created = false;
  g_tips_deferred = false;
}

HelpDoc* TipsDocument() { return g_tips; }

void ReopenTipsViewer(AppSettings& settings) {
  if (!g_tips_created) return;
  const bool window_open = HelpDocumentWindow(g_tips) != nullptr;
  DialogFrame* owner = g_tips != nullptr ? g_tips->owner_frame : nullptr;
  const int topic = g_tips != nullptr ? g_tips->current_topic : 0;
  TakeTipsState(settings);
  CreateTipsViewer(settings);
  if (window_open && topic > 0) OpenTipsWindow(owner, g_tips, topic);
}

int NextStartupTip(int last_tip) {
  const int next = last_tip + 1;
  return next >= 1 && next <= kStartupTipCount ? next : 1;
}

void ShowStartupTip(DialogFrame* owner, AppSettings& settings) {
  if (settings.tips == 0) return;
  OpenDeferredViewer(settings);
  if (g_tips == nullptr) return;
  settings.last_tip = NextStartupTip(settings.last_tip);
  OpenTipsWindow(owner, g_tips, settings.last_tip);
}

void ShowFirstTip(DialogFrame* owner) {
  OpenDeferredViewer(g_settings);
  OpenTipsWindow(owner, g_tips, 1);
}

void TakeTipsState(AppSettings& settings) {
  // Unopened, the document would have taken its start-up box from the setting.
  if (g_tips_deferred && !g_tips_created) settings.tips = settings.tips != 0 ? 8 : 0;
  if (g_tips == nullptr) return;
  settings.tips = (g_tips->flags & kHelpTipsAtStartup) ? 8 : 0;
  // A tips window closed with its close box has no tip on display any more;
  // the tip the user saw last is what the next start continues from.
  if (g_tips->last_tip_shown > 0) settings.last_tip = g_tips->last_tip_shown;
}
