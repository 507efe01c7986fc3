// The main window's toolbar: its buttons, their enabled states, and the View
// menu's switch that shows or hides it.
#pragma once

struct DialogFrame;

// Gives the frame the toolbar before its window exists; it starts hidden
// when the `view` setting says so.
void AddMainToolbar(DialogFrame* frame);

// The commands whose state the toolbar follows.
struct MainToolbarStates {
  bool cut_and_copy;
  bool paste;
  bool refresh_cd;
  bool rip;
};
void UpdateMainToolbar(DialogFrame* frame, const MainToolbarStates& states);

// Shows or hides the toolbar as the `view` setting says, with the check mark
// of View > Toolbar.
void ApplyToolbarView(DialogFrame* frame);
