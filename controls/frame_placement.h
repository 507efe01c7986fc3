// The frame's placement (normal rectangle, show state, splitter drags) as
// the text stored for it.
#pragma once

struct DialogFrame;

// The placement text of the frame (valid until the next call).
const char* FormatFramePlacement(const DialogFrame* frame);
void ParseFramePlacement(DialogFrame* frame, const char* text);
