// The program's life: start-up in its fixed order, the message loop, and the
// shut-down.
#pragma once

#include <windows.h>

#include "controls/dialog_frame.h"

// Runs the program; returns the exit code carried by WM_QUIT.
int RunCorvale(HINSTANCE instance);
// Called once the main window is shown, before the message loop starts (for
// tests that drive a whole run).  Null: nothing.
void SetMainWindowShownHook(void (*hook)());

// The version text ("1.00.000") and build text ("0001") of the program.
const char* ProgramVersionText();
const char* ProgramBuildText();

// Keeps the error mode the process was started with and adds failing
// critical errors quietly: a removable drive without a disk (an output
// folder on a card reader, say) must not ask the user at every look at it.
void SetQuietCriticalErrors();

// Connects saving the settings with what it needs, and has a missing
// dialog library or template save them before the process ends.
void InstallSettingsSaving();

// Takes the current directory as the working folder, which config.ini and
// "temp" are named from for the rest of the run.  When no file can be made
// there, the run moves to "Corvale" in the user's application data instead
// (made when missing) and makes that the current directory.  False when no
// folder could be taken.
bool CaptureWorkingFolder();

// Creates the named mutex that marks a running instance, kept until the
// process ends.  True when no other instance had marked itself already.
bool MarkRunningInstance(const char* mutex_name);

// Creates "temp" in the working folder and, unless another instance runs,
// removes the intermediate WAV files an interrupted rip left there.
void PrepareTempFolder(bool another_instance_runs);

// Registers the help page and topic map with the main window's frame, then
// creates the main window from its template into *holder.  1 on success.
int CreateMainWindow(DialogFrame** holder);
