#include "common/string_map.h"

#include <cstdlib>
#include <cstring>

#include "common/text_utils.h"

namespace {

StringMapNode* NewNode(const char* fragment, StringMapValue value) {
  auto* node = static_cast<StringMapNode*>(std::calloc(1, sizeof(StringMapNode)));
  if (!node) return nullptr;
  node->fragment = StrDup(fragment);
  if (!node->fragment) {
    std::free(node);
    return nullptr;
  }
  node->value = value;
  return node;
}

void FreeNode(StringMapNode* node) {
  std::free(node->fragment);
  std::free(node);
}

// The node of the chain whose fragment starts with `c` (never an empty one).
template <typename Node>
Node* NodeStartingWith(Node* chain, char c) {
  for (Node* node = chain; node; node = node->sibling) {
    if (node->fragment[0] == c && c != '\0') return node;
  }
  return nullptr;
}

void AppendToChain(StringMapNode** chain, StringMapNode* node) {
  while (*chain) chain = &(*chain)->sibling;
  *chain = node;
}

StringMapValue FindNoCaseIn(const StringMapNode* chain, const char* key) {
  for (const StringMapNode* node = chain; node; node = node->sibling) {
    const char* fragment = node->fragment;
    if (!fragment[0] || AsciiUpper(fragment[0]) != AsciiUpper(key[0])) continue;
    std::size_t i = 0;
    while (fragment[i] && key[i] && AsciiUpper(fragment[i]) == AsciiUpper(key[i])) ++i;
    if (fragment[i]) continue;
    // Keys that differ only in case sit in sibling branches, so a branch that
    // fails is not the end of the search.
    const StringMapValue value = key[i] ? FindNoCaseIn(node->child, key + i) : node->value;
    if (value) return value;
  }
  return 0;
}

}  // namespace

StringMapNode* StringMapInsert(StringMap* map, const char* key, StringMapValue value) {
  if (!map || !key || !*key) return nullptr;
  StringMapNode** chain = map;
  const char* rest = key;
  for (;;) {
    StringMapNode* node = NodeStartingWith(*chain, rest[0]);
    if (!node) {
      StringMapNode* leaf = NewNode(rest, value);
      if (leaf) AppendToChain(chain, leaf);
      return leaf;
    }
    std::size_t i = 0;
    while (node->fragment[i] && rest[i] && node->fragment[i] == rest[i]) ++i;
    if (!node->fragment[i] && !rest[i]) {
      node->value = value;
      return node;
    }
    if (!node->fragment[i]) {
      chain = &node->child;
      rest += i;
      continue;
    }
    // The key leaves the fragment part-way: split the node at i.  Both new
    // nodes are made before anything changes, so running out of memory leaves
    // the map as it was.
    StringMapNode* tail = NewNode(node->fragment + i, node->value);
    StringMapNode* leaf = rest[i] ? NewNode(rest + i, value) : nullptr;
    if (!tail || (rest[i] && !leaf)) {
      if (tail) FreeNode(tail);
      if (leaf) FreeNode(leaf);
      return nullptr;
    }
    tail->child = node->child;
    node->fragment[i] = '\0';
    node->child = tail;
    if (!leaf) {
      // The key is the common prefix itself: the split node holds it.
      node->value = value;
      return node;
    }
    node->value = 0;
    tail->sibling = leaf;
    return leaf;
  }
}

StringMapValue StringMapFind(const StringMapNode* map, const char* key) {
  if (!key || !*key) return 0;
  const StringMapNode* chain = map;
  const char* rest = key;
  while (chain) {
    const StringMapNode* node = NodeStartingWith(chain, rest[0]);
    if (!node) return 0;
    const std::size_t len = std::strlen(node->fragment);
    if (std::strncmp(node->fragment, rest, len) != 0) return 0;
    rest += len;
    if (!*rest) return node->value;
    chain = node->child;
  }
  return 0;
}

StringMapValue StringMapFindNoCase(const StringMapNode* map, const char* key) {
  if (!key || !*key) return 0;
  const StringMapValue exact = StringMapFind(map, key);
  return exact ? exact : FindNoCaseIn(map, key);
}

void StringMapForEachValue(const StringMapNode* map, void (*visit)(StringMapValue value, void* context),
                           void* context) {
  if (!visit) return;
  for (const StringMapNode* node = map; node; node = node->sibling) {
    if (node->value) visit(node->value, context);
    StringMapForEachValue(node->child, visit, context);
  }
}

void StringMapFree(StringMap* map) {
  if (!map) return;
  // Each node's children are spliced in front of its siblings, so the whole
  // tree is freed in one loop without recursion.
  StringMapNode* pending = *map;
  while (pending) {
    StringMapNode* node = pending;
    if (node->child) {
      StringMapNode* last = node->child;
      while (last->sibling) last = last->sibling;
      last->sibling = node->sibling;
      pending = node->child;
    } else {
      pending = node->sibling;
    }
    FreeNode(node);
  }
  *map = nullptr;
}
