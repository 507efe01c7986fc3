// Colour names accepted in menu markup, with their RRGGBB hex values.
#pragma once

// The six hex digits RRGGBB of a colour name (any letter case), or null when
// the name is not in the table.
const char* ColourNameToHex(const char* name);

// The RGB value (0xRRGGBB) of a markup colour: a colour name from the table,
// or hex digits with or without a leading '#'.  Digits that are not hex are
// read as the text utilities read them.
unsigned MarkupColourValue(const char* colour);

// How many names the table holds.
int ColourNameCount();
