// What the upgrade launcher decides before it touches anything: the upgrade
// program's command line, where a freshly downloaded copy waits, whether a
// file looks like a Windows program, and whether a manual may be opened.
#pragma once

#include <cstddef>
#include <string>

enum UpgradeMode {
  kUpgradePlain = 0,
  kUpgradeProduct = 1,  // "-p "
  kUpgradeManual = 2,   // "-m ": fetch a missing manual
};

// "Upgrade.exe [-p |-m ]COMPONENT[ "PRODUCT NAME"]".  The component defaults
// to the product code; with neither the program gets no command line ("").
std::string UpgradeCommandLine(const char* component, const char* product_code, const char* product_name, int mode);

// The path with its last ".exe" (any letter case) replaced by `extension`;
// "" when the path holds no ".exe", so that the program itself is never taken
// for its own replacement.
std::string UpgradeSiblingPath(const std::string& program_path, const char* extension);

// Whether the first bytes of a file carry a DOS header whose new-header
// offset points at a "PE\0\0" signature within them.
bool IsWindowsExecutableImage(const unsigned char* data, std::size_t size);
// How many leading bytes IsWindowsExecutableImage wants to see.
constexpr std::size_t kExecutableHeaderBytes = 4096;

// Whether the path names a document a manual may be (PDF, HTML, compiled
// help, text, rich text, word processor files), not a program or a script.
bool IsManualDocument(const char* path);
