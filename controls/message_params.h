// Item, column and button indices as the WPARAM of a control's messages.
#pragma once

#include <windows.h>

// `index` is an index or count the caller has already found to be zero or
// more: the conversion keeps its value.
constexpr WPARAM IndexParam(int index) { return static_cast<WPARAM>(index); }
