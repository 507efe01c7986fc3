// Fitting the main window to its font: the divider's limits and the
// smallest window in the template's dialog units, and a format list that
// opens as wide as its longest entry.
#pragma once

#include <windows.h>

struct DialogFrame;

// Works the limits out for the window's font and frame, and makes a window
// restored smaller than them grow to fit.
void FitMainWindowLimits(DialogFrame* frame);

// The width the combo box's list needs for its longest entry in the
// control's font; 0 when it cannot be measured.
int DropDownWidthForEntries(HWND combo);
// Opens the list at least that wide (never narrower than the box).
void WidenDropDownToEntries(HWND combo);
