#include "app/main_toolbar.h"

#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "app/settings.h"
#include "common/win_params.h"
#include "controls/dialog_frame.h"
#include "controls/toolbar.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"

namespace {

constexpr int kButtonSize = 16;
constexpr BYTE kEnabled = TBSTATE_ENABLED;

// Every button is defined enabled: the command states disable them once the
// window is up.
constexpr TBBUTTON Button(int icon, int command, int tooltip) {
  return {icon, command, kEnabled, TBSTYLE_BUTTON, {}, DWORD_PTR(tooltip), -1};
}
constexpr TBBUTTON Separator() { return {0, 0, kEnabled, TBSTYLE_SEP, {}, 0, -1}; }

const TBBUTTON kMainButtons[] = {
    Button(16, IDC_REFRESH_CD, IDS_REFRESH_CD),
    Button(19, IDM_RIP, IDS_RIP_SELECTED),
    Separator(),
    Button(9, IDM_CUT, IDS_CUT),
    Button(10, IDM_COPY, IDS_COPY),
    Button(11, IDM_PASTE, IDS_PASTE),
    Separator(),
    Button(1, IDM_CREATE_DIRECTORY, IDS_CREATE_DIRECTORY),
    Button(7, IDM_FILE_DELETE, IDS_DELETE),
    Separator(),
    Button(15, IDM_UPGRADE, IDS_ONLINE_VERSION_CHECK),
    Separator(),
    Button(8, IDM_HELP, IDS_HELP),
};

}  // namespace

void AddMainToolbar(DialogFrame* frame) {
  ToolbarRecord* toolbar = AddToolbar(frame, IDC_TOOLBAR, kToolbarFlatStyle, kMainButtons, int(std::size(kMainButtons)),
                                      0, kButtonSize, kButtonSize);
  if (toolbar) toolbar->visible = g_settings.view != 0;
}

void UpdateMainToolbar(DialogFrame* frame, const MainToolbarStates& states) {
  ToolbarRecord* toolbar = FindToolbar(frame, IDC_TOOLBAR);
  EnableToolbarButton(toolbar, IDM_CUT, states.cut_and_copy);
  EnableToolbarButton(toolbar, IDM_COPY, states.cut_and_copy);
  EnableToolbarButton(toolbar, IDM_PASTE, states.paste);
  EnableToolbarButton(toolbar, IDC_REFRESH_CD, states.refresh_cd);
  EnableToolbarButton(toolbar, IDM_RIP, states.rip);
}

void ApplyToolbarView(DialogFrame* frame) {
  if (!frame) return;
  const bool shown = g_settings.view != 0;
  if (frame->window) {
    CheckMenuItem(GetMenu(frame->window), IDM_TOOLBAR, MenuCheckFlags(shown));
  }
  SetToolbarVisible(FindToolbar(frame, IDC_TOOLBAR), shown);
}
