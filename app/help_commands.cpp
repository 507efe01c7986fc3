#include "app/help_commands.h"

#include <string>

#include "common/common_library.h"
#include "common/strings.h"
#include "common/upgrade.h"
#include "res/string_ids.h"

void RunUpgradeCommand(HWND owner) {
  if (RunUpgrade(nullptr, kUpgradePlain)) return;
  const std::string caption = LoadStringText(IDS_INSTALL_ERROR);
  ShowWarningBox(owner, caption.c_str(), LoadStringText(IDS_UPGRADE_FAILED));
}

void OpenManualCommand() { OpenManual(LibraryProductCode()); }
