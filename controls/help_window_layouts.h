// Layout tables of the help window and the tips window: where each of their
// controls goes as the window is sized.
#pragma once

#include <cstddef>
#include <cstdint>

#include "controls/layout_arithmetic.h"

// The title runs along the top up to Back and Forward, which keep to the
// top right corner; the viewer fills the rest down to the status bar.
extern const int32_t kHelpWindowLayout[][kLayoutFieldCount];
// The buttons and the start-up box sit in a row on the status bar, the
// picture on the left; the viewer fills the rest.
extern const int32_t kTipsWindowLayout[][kLayoutFieldCount];
// Entries of each table, the end entry included.
extern const std::size_t kHelpWindowLayoutRows;
extern const std::size_t kTipsWindowLayoutRows;
