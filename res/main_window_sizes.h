#pragma once
// Sizes of template 101 in dialog units that the window's limits are worked
// out from: the destination pane must hold its fixed-width controls and a
// usable output folder box beside the button column.

#define MAIN_WINDOW_WIDTH 470
#define MAIN_WINDOW_HEIGHT 254
#define MAIN_DIVIDER_LEFT 201
#define MAIN_SOURCE_LABEL_WIDTH 34
#define MAIN_DESTINATION_LABEL_WIDTH 30
#define MAIN_FILE_MASK_WIDTH 40
#define MAIN_BROWSE_WIDTH 16
#define MAIN_BUTTON_WIDTH 58
