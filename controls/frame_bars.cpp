#include "controls/frame_bars.h"

#include "controls/dialog_frame.h"
#include "controls/frame_services.h"
#include "controls/owner_menus.h"
#include "controls/status_bar.h"
#include "controls/toolbar.h"

namespace {

void CreateBars(DialogFrame* frame) {
  CreateStatusBarWindow(frame);
  CreateToolbars(frame);
}

void ReleaseBars(DialogFrame* frame) {
  ReleaseFrameMenu(frame);
  ReleaseStatusBar(frame);
  ReleaseToolbars(frame);
}

}  // namespace

void InstallFrameBars() {
  FrameServices& services = FrameServicesTable();
  services.menu_message = OwnerMenuMessage;
  services.draw_control_item = DrawStatusItem;
  services.create_bars_and_menu = CreateBars;
  services.release_bars = ReleaseBars;
  services.toolbar_notify = ToolbarNotify;
}
