// The texts of a frame's dialog items.
#pragma once

struct DialogFrame;

// Reads the text of a dialog item into *text, a malloc'd heap text that is
// replaced (the old one is freed); returns the text's length.
int ReadItemText(DialogFrame* frame, int control_id, char** text);
void SetItemText(DialogFrame* frame, int control_id, const char* text);
