// The program's life: start-up in its fixed order, the message loop, and the
// shut-down.
#pragma once

#include <windows.h>

// Runs the program; returns the exit code carried by WM_QUIT.
int RunCorvale(HINSTANCE instance);

// The version text ("1.00.000") and build text ("0001") of the program.
const char* ProgramVersionText();
const char* ProgramBuildText();

// Removes the intermediate WAV files an interrupted rip left in "temp".
void DeleteLeftoverTempWavs();
