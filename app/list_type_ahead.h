// Type-ahead in a list view: a key moves the selection to the next item whose
// text starts with that character.
#pragma once

struct ListViewCtl;

// Selects the next item after the current one (wrapping once) whose text
// starts with `c`, ignoring case; true when one was found.
bool ListTypeAhead(ListViewCtl* list, char c, const char* (*text_of)(const void* item));
