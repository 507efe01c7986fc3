#include "app/tips_viewer.h"

#include "controls/help_doc.h"

namespace {

constexpr int kStartupTipCount = 9;

HelpDoc* g_tips = nullptr;

}  // namespace

void CreateTipsViewer(const AppSettings& settings) {
  ReleaseTipsViewer();
  unsigned flags = kHelpTipsStyle | kHelpNavigation;
  if (settings.tips != 0) flags |= kHelpTipsAtStartup;
  g_tips = OpenHelpDocument(kTipsPage, kTipsResourceId, flags);
}

void ReleaseTipsViewer() {
  CloseHelpDocument(g_tips);
  g_tips = nullptr;
}

int NextStartupTip(int last_tip) {
  const int next = last_tip + 1;
  return next >= 1 && next <= kStartupTipCount ? next : 1;
}

void ShowStartupTip(DialogFrame* owner, AppSettings& settings) {
  if (settings.tips == 0 || g_tips == nullptr) return;
  settings.last_tip = NextStartupTip(settings.last_tip);
  OpenTipsWindow(owner, g_tips, settings.last_tip);
}

void ShowFirstTip(DialogFrame* owner) { OpenTipsWindow(owner, g_tips, 1); }

void TakeTipsState(AppSettings& settings) {
  if (g_tips == nullptr) return;
  settings.tips = (g_tips->flags & kHelpTipsAtStartup) ? 8 : 0;
  // A tips window closed with its close box has no tip on display any more;
  // the tip the user saw last is what the next start continues from.
  if (g_tips->last_tip_shown > 0) settings.last_tip = g_tips->last_tip_shown;
}
