// What a thread's message loop does with a message before dispatching it:
// the accelerators of its main window, then the dialog keys (Tab, Enter,
// Escape, arrows, access keys) of the frame window the message is for.
// Only a modal dialog runs a loop that does the latter by itself; every
// modeless frame (the main window, the help and the tips window, ...) needs
// its loop to do it.
#pragma once

#include <windows.h>

// True when the message was taken and is not to be dispatched.
// `accelerator_window` and `accelerators` may be null.
bool TranslateLoopMessage(MSG* message, HWND accelerator_window, HACCEL accelerators);
