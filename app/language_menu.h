// The Language menu: which command picks which language file.
#pragma once

#include <windows.h>

// Whether `command` is in the Language menu; if so `code` receives the
// language code it picks, null for English (the built-in language).
bool FindLanguageCommand(int command, const char** code);

// Removes from `menu` the languages whose file is not installed.
void RemoveMissingLanguages(HMENU menu);
