// The layout engine: a frame's size hook that moves every control of the
// frame's layout table when the window is sized or a splitter bar dragged.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/dialog_frame.h"
#include "controls/layout_arithmetic.h"
#include "controls/window_placement.h"

// One per splitter entry, in the frame's splitter list.
struct SplitterRecord {
  SplitterRecord* next;
  int16_t drag_x;  // mouse movement not yet laid out
  int16_t drag_y;
  uint8_t hover;
  uint8_t dragging;
  RECT bar;           // client coordinates
  std::size_t entry;  // index into the layout's entries
  POINT last_cursor;  // screen coordinates
  int last_client_sum;
  RECT origin;  // the bar where the table first put it
};

struct LayoutHeader {
  std::vector<LayoutEntry> entries;
  bool initialised;
  // Splitter positions to take back at the first layout (a stored window
  // placement read before the bars exist).
  std::vector<SplitterDrag> restored_drags;
};

// Copies `table` (ended by an entry with id 0, at most `limit` rows) into the
// frame, replacing an earlier table and its splitter records; null frees
// them.  Installs the engine as the frame's size hook if it has none.
void SetFrameLayout(DialogFrame* frame, const int32_t (*table)[kLayoutFieldCount], std::size_t limit);

// The size hook.  `splitter`: lay out after a drag of that bar.  Returns 1
// when it ran.
int RunLayoutEngine(DialogFrame* frame, SplitterRecord* splitter, int size_type);

// How far each bar sits from where the table first put it, in list order,
// and the way back there.
void ReadSplitterDrags(const DialogFrame* frame, std::vector<SplitterDrag>* drags);
void WriteSplitterDrags(DialogFrame* frame, const std::vector<SplitterDrag>& drags);

void ReleaseFrameLayout(DialogFrame* frame);

// The splitter side of the frame's mouse messages.
void SplitterMouse(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);
// While a bar is dragged, lists ignore all but display requests.
int SplitterDragInProgress();

// Puts the engine and the splitters into the frame's service table.
void InstallLayoutEngine();
