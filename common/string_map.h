// StringMap: a compressed prefix tree from 8-bit text keys to one value each.
//
// A map is a pointer to its first top-level node (null when empty).  A key is
// the concatenation of the fragments on the path from the top to the node
// where it ends.  The value 0 means "no value": callers never store 0 for a
// present key.  Values are not owned by the map.
#pragma once

#include <cstdint>

// An integer id, or a pointer to something the caller owns.
using StringMapValue = std::uintptr_t;

struct StringMapNode {
  char* fragment;          // heap text
  StringMapNode* sibling;  // next node whose fragment starts differently
  StringMapNode* child;    // first continuation of this fragment
  StringMapValue value;
};

using StringMap = StringMapNode*;

// Stores `value` under `key` (replacing the value of an existing key) and
// returns the node that holds the key.  A null or empty key does nothing and
// returns null; so does running out of memory.
StringMapNode* StringMapInsert(StringMap* map, const char* key, StringMapValue value);

// Value of exactly that key (byte-exact), or 0.
StringMapValue StringMapFind(const StringMapNode* map, const char* key);

// Value of a key equal to `key` ignoring ASCII letter case, or 0.  When
// several stored keys differ only in case, one of them is found.
StringMapValue StringMapFindNoCase(const StringMapNode* map, const char* key);

// Calls visit(value, context) once for every stored key with a non-zero
// value, e.g. to free values the caller owns before StringMapFree.
void StringMapForEachValue(const StringMapNode* map, void (*visit)(StringMapValue value, void* context), void* context);

// Frees every node and its fragment (not the values) and sets *map to null.
void StringMapFree(StringMap* map);
