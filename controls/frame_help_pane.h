// Context help of a frame: the help pane it shares with the frames opened
// from it, the command that opens the help window, and the topic shown for
// the control, command or dialog in use.
#pragma once

#include "controls/dialog_frame.h"

// Context help for a control, command or dialog id (shown in the help pane).
void ShowContextHelp(DialogFrame* frame, int id);

// Opens the help pane over `help_file` for the frame and stores the help
// command and the topic function.  Returns 1 when a pane is open.
int SetFrameHelp(DialogFrame* frame, const char* help_file, int help_command, HelpTopicFunc topic_of);

// Help panes are shared between a frame and the frames opened from it.
void RetainHelpPane(void* pane);
void ReleaseHelpPane(void* pane);  // closes the pane when the last reference goes
int HelpPaneReferences(void* pane);
// Takes over a freshly opened pane with one reference.
void AdoptHelpPane(void* pane);
