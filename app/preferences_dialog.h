// The Preferences dialog: the web browser, the HTTP proxy of the CDDB lookup
// and the external MP3 encoder.  It checks nothing; OK copies the fields into
// the settings, Cancel leaves them alone.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/proxy_values.h"
#include "app/settings.h"
#include "controls/browser_discovery.h"
#include "files/file_choosers.h"

struct DialogFrame;

constexpr char kDefaultMp3Parameters[] = "\"%IN%\" \"%OUT%\"";

struct PreferencesRequest {
  DialogFrame* parent = nullptr;
  AppSettings* settings = nullptr;
  ProxyValues* proxy = nullptr;
  DetectedBrowsers browsers;  // offered beside the browser setting
  // Where OK hands the proxy: the CDDB lookup, unless a test listens instead.
  void (*hand_proxy)(const ProxyValues& proxy) = HandProxyToLookup;
};

// 1 after OK, 0 after Cancel or Escape, -1 when the dialog could not be made.
INT_PTR RunPreferencesDialog(const PreferencesRequest& request);

// What the parameters field shows: the template, or the default template when
// it is empty and a program is set.
std::string Mp3ParametersToShow(const SettingText& program, const SettingText& parameters);

// The chooser behind "..."; tests put their own in its place.  Null restores
// the system's open-file dialog.
using ProgramChooser = std::optional<std::string> (*)(const OpenFileRequest& request);
void SetPreferencesProgramChooser(ProgramChooser chooser);
