// The module base name: the program file's name without its folder, without
// its extension and cut at its last "_" ("C:\x\corvale_tests.exe" -> "corvale").
#pragma once

#include <string>

std::string ModuleBaseNameOf(const std::string& program_path);
