// Opening web addresses in the user's browser: a running browser is asked by
// DDE, otherwise the browser program is started with the address.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

enum BrowserOpenMode : int {
  kBrowserNewWindow = 0,      // a running browser opens a new window
  kBrowserStartProgram = 1,   // always start the browser program
  kBrowserCurrentWindow = 2,  // a running browser reuses its window
};

// Opens `address` with `browser` (null or empty: the default browser, found
// by DiscoverBrowsers on first use).  1 on success, 0 when there is no
// browser, the address is refused (control characters, too long once made a
// target) or the program could not be started.  When a running browser
// answers "WWW_Activate" but not "WWW_OpenURL", the program is started.
int OpenUrl(HWND owner, const char* browser, const char* address, int mode);

// OpenUrl for a link found in a page, the registry or a language file: the
// link must pass CheckLink and is resolved against `base` (may be null).
int OpenCheckedLink(HWND owner, const char* browser, const char* base, const char* link, int mode);

// Fills an empty `holder` with the default browser (the program that opens
// "index.html", else the first, else the second registered browser, else the
// standard path of the system browser) and keeps it as the process-wide
// default.  `second` and `first` (may be null) receive the registered
// browsers found below `classes_root`.  Only an existing .exe counts.
void DiscoverBrowsers(std::string* holder, std::string* second, std::string* first,
                      HKEY classes_root = HKEY_CLASSES_ROOT);

// The process-wide default browser path; empty before discovery.
const std::string& DefaultBrowserPath();
// Forgets the default browser and closes the DDE instance (shutdown, tests).
void ResetBrowserLauncher();

// `text` with its %NAME% environment variables expanded; nullopt when the
// expansion fails.
std::optional<std::string> ExpandEnvironmentText(const char* text);

// The FAQ page: the "faq" value of the program key below HKEY_LOCAL_MACHINE
// with its link macros filled in; empty when missing or refused by CheckLink.
std::string FaqAddress();
// Help > FAQ: opens the FAQ page with `browser_setting`, or with the
// detected browsers when the setting is empty.  1 on success.
int OpenFaqPage(HWND owner, const char* browser_setting, int mode);

// Test seam: what starts the browser program (ShellExecuteA by default).
// Returns the ShellExecute-style result (above 32 is success).
using BrowserStartFunc = INT_PTR (*)(HWND owner, const char* program, const char* parameters);
void SetBrowserStartFunc(BrowserStartFunc start);  // null: the default
