#include "app/help_commands.h"

#include <string>

#include "app/product_name.h"
#include "app/startup.h"
#include "common/common_library.h"
#include "common/language.h"
#include "common/strings.h"
#include "common/upgrade.h"
#include "controls/about_box.h"
#include "controls/browser_launcher.h"
#include "res/string_ids.h"

void RunUpgradeCommand(HWND owner) {
  if (RunUpgrade(nullptr, kUpgradePlain)) return;
  const std::string caption = LoadStringText(IDS_INSTALL_ERROR);
  ShowWarningBox(owner, caption.c_str(), LoadStringText(IDS_UPGRADE_FAILED));
}

void OpenManualCommand() { OpenManual(LibraryProductCode()); }

void OpenFaqCommand(HWND owner, const char* browser_setting, bool new_window) {
  if (OpenFaqPage(owner, browser_setting, new_window ? kBrowserNewWindow : kBrowserCurrentWindow)) return;
  ShowMessageBox(owner, MessageBoxIcon::kWarning, LoadStringText(IDS_BROWSER_ERROR), "%s",
                 LoadStringText(IDS_BROWSER_OPEN_FAILED));
}

void ShowAboutCommand(DialogFrame* parent) {
  AboutBoxRequest request;
  request.parent = parent;
  request.product_title = kProductName;
  request.version_text = ProgramVersionText();
  request.build_text = ProgramBuildText();
  request.language_code = GetLanguageCode();
  request.labels.version = IDS_VERSION_LABEL;
  request.labels.operating_system = IDS_OPERATING_SYSTEM;
  request.labels.memory = IDS_MEMORY;
  request.labels.free_memory = IDS_FREE_MEMORY;
  request.labels.home = IDS_HOME;
  request.labels.support = IDS_SUPPORT;
  request.labels.copyright = IDS_COPYRIGHT;
  request.labels.window_title = IDS_ABOUT;
  RunAboutBox(request);
}
