// Finding the web browsers the system has registered: the program behind the
// icon of HTML files, and the one of the second browser family's markup files.
#pragma once

#include <windows.h>

#include <string>

struct DetectedBrowsers {
  std::string first;   // from "htmlfile\DefaultIcon"; empty when not registered
  std::string second;  // from "NetscapeMarkup\DefaultIcon"
};

// Reads both registrations below `root` (the classes root unless a test
// points elsewhere).  Each is the key's default value, with environment
// variables expanded for an expandable text, cut before the icon index; only
// an existing .exe counts (an icon taken from a library names no browser).
DetectedBrowsers DetectBrowsers(HKEY root = HKEY_CLASSES_ROOT);

// The browsers found at start-up; empty ones until RememberDetectedBrowsers ran.
const DetectedBrowsers& DetectedBrowsersAtStartup();
void RememberDetectedBrowsers();
