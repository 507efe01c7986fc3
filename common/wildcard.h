// File-name wildcards: '*' any run of characters, '?' exactly one character,
// letters compared ignoring ASCII case.
#pragma once

// 1 when the whole name matches the pattern, else 0.  The empty pattern
// matches nothing.  Runs in O(name * pattern) at worst, without recursion.
int WildcardMatch(const char* name, const char* pattern);

// 1 when the name matches any pattern of the list.  The list is cut from the
// left: at the next ',' while the rest still holds one, otherwise at the next
// ';'.  Blanks around each pattern are ignored.
int WildcardMatchList(const char* name, const char* list);
