// Turning the settings read from config.ini into a usable start state.
#pragma once

#include "app/settings.h"

// Replaces every value the program cannot start with: a drive index outside
// the `drive_count` drives found, an unknown output format, a rate below one,
// no file mask.  With no output folder, "My Music" under the user's documents
// is made and taken.
void CheckSettings(AppSettings& settings, int drive_count);
