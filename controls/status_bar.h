// The status bar of a frame: its parts, their texts, and one owner-drawn
// part that shows a progress or busy band.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "controls/progress_band.h"

struct DialogFrame;

// Sets the part edges of the frame's status bar before the frame is laid out.
using StatusSizingFunc = void (*)(DialogFrame* frame, int flag);

// What an owner-drawn part shows.
struct StatusProgressItem {
  std::string text;
  int percentage = 0;  // 0..100
  bool busy = false;
  BusyBand band;
};

struct StatusBarRecord {
  int part_count = 0;
  StatusSizingFunc sizing = nullptr;
  HWND window = nullptr;
  std::vector<int> right_edges;  // part_count + 1 entries, the last -1
  StatusProgressItem progress;
};

// Gives the frame a status bar of `part_count` parts (1 to 64).  Its window
// is made when the frame's window is initialised (CreateStatusBarWindow).
StatusBarRecord* AddStatusBar(DialogFrame* frame, int part_count, StatusSizingFunc sizing);
int CreateStatusBarWindow(DialogFrame* frame);
void ReleaseStatusBar(DialogFrame* frame);

// Right edges in pixels, ended by -1 (or by the part count): the part after
// the last edge given runs to the right end.
void SetStatusParts(DialogFrame* frame, std::initializer_list<int> right_edges);
// `part_and_flags`: the part index with SBT_* drawing flags.
void SetStatusText(DialogFrame* frame, const char* text, int part_and_flags);
// Shows the progress band (or the busy band) in one part.
void SetStatusProgress(DialogFrame* frame, int part, const char* text, int percentage, bool busy);

// WM_DRAWITEM of the frame's status bar; nonzero when it was our part.
int DrawStatusItem(DialogFrame* frame, const DRAWITEMSTRUCT* item);

// The font of the owner-drawn parts, made on first use from the system's
// status font; freed at exit.
HFONT StatusFont();
void ReleaseStatusFont();
