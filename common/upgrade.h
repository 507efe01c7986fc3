// The online upgrade: the maker's upgrade program, shared by all its
// products, is found through the registry, a freshly downloaded copy of it is
// put in place, and it is started with the product's code and name.  The
// register of installed components also says where each product's manual is.
#pragma once

#include <windows.h>

#include "common/text_buf.h"
#include "common/upgrade_plan.h"

// Where the upgrade program is registered (value "path").
constexpr char kUpgradeProgramKey[] = "Software\\VELMARON\\Renewix v2.0";
// One sub-key per installed component, with "CODE" and "manual".
constexpr char kUpgradeComponentsKey[] = "Software\\VELMARON\\Renewix\\Components";

// Starts the upgrade program registered in `upgrade_key` (below
// HKEY_LOCAL_MACHINE) without waiting for it.  The component defaults to the
// library's product code.  1 when the process was created.
int LaunchUpgrade(const char* component, const char* product_name, const char* upgrade_key, int mode);
// LaunchUpgrade with the library's product name and the shared key.
int RunUpgrade(const char* component, int mode);

// The value `value_name` of the first component whose "CODE" equals
// product_code ignoring case, copied into *out (emptied first).  1 when found.
int FindComponentValue(const char* product_code, const char* value_name, TextBuf* out);
// The product's manual path as a new text (release with TextFree), or null.
TextBuf FindManualPath(const char* product_code);
// Opens the product's manual when it is a document that exists; otherwise
// asks the upgrade program to fetch it (product code + "_M").  1 when the
// manual was opened.
int OpenManual(const char* product_code);

// What became of a downloaded copy of the upgrade program waiting beside it
// as ".new".
enum UpgradeSwap {
  kSwapNoNewCopy = 0,  // none there (or the path has no ".exe")
  kSwapDone = 1,       // the new copy is now the program, the old one waits as ".old"
  kSwapRefused = 2,    // not a whole Windows program, or its signature is bad
  kSwapOldInUse = 3,   // the old program could not be moved aside: it stays
  kSwapRestored = 4,   // the new copy could not take its place: the old one is back
};
UpgradeSwap ReplaceUpgradeProgram(const char* program_path);
// Puts the ".old" program back when the program it was set aside for is
// missing or no whole program (a swap cut short).  True when it was put back.
bool RestoreUpgradeProgram(const char* program_path);
// RestoreUpgradeProgram for the upgrade program registered in the shared key.
void RestoreRegisteredUpgradeProgram();

// Seams for the tests.  The shell opener answers like ShellExecute (above
// 32: done); the trust query answers like WinVerifyTrust for a file.
using ManualShellOpen = INT_PTR (*)(const char* file, const char* folder);
void SetManualShellOpen(ManualShellOpen open);  // null: the shell's "open"
using UpgradeTrustQuery = LONG (*)(const char* path);
void SetUpgradeTrustQuery(UpgradeTrustQuery query);  // null: WinVerifyTrust
