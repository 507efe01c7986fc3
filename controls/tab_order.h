// The tab order of a dialog made to follow where its controls are, once a
// layout has moved them away from where the template put them.
#pragma once

#include <windows.h>

// Puts the dialog's visible tab stops into reading order (see
// reading_order.h) by their place in the window; the other children keep
// their places among them.
void OrderTabStopsByPlace(HWND dialog);
