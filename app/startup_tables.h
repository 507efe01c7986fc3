// Fixed tables of the program shell: which icon a menu item shows and which
// help topic a control, command or dialog opens.
#pragma once

#include <cstdint>

// Icon index (first icon list) of a menu item, from its flag word, whether it
// has a sub-menu, and its command id.  -1 means no icon; -2 an empty sub-menu
// entry.
int MenuIconIndex(uint32_t item_flags, uint32_t submenu, int command_id);

// The help topic of a control, command or dialog id; 0 when the id has none
// (the current topic then stays as it is).
int HelpTopicForId(int id);

// Icon ids of the two icon lists, in list order.
extern const int kMainIconIds[32];
extern const int kSecondIconIds[3];
