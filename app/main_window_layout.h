// The layout table of the main window: where each of its controls goes as
// the window is sized and the divider between the panes is dragged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "controls/layout_arithmetic.h"

extern const int32_t kMainWindowLayout[][kLayoutFieldCount];
// Entries including the end entry.
extern const std::size_t kMainWindowLayoutRows;
