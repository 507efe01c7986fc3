// The main window's disc lookup service: the CDDB lookup of the current
// drive, and its record turned into the window's texts on the interface thread.
#pragma once

#include <windows.h>

#include "app/main_window.h"

struct CddbLookup;

// The texts of an ended lookup as the main window takes them.
DiscLookupResult DiscLookupResultFrom(const CddbLookup& lookup);

// Installs the CDDB lookup as the main window's lookup service.
void InstallCddbDiscLookup();
