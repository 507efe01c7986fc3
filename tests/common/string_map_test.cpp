#include "common/string_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// Frees the map at the end of a test.
struct MapOwner {
  StringMap map = nullptr;
  ~MapOwner() { StringMapFree(&map); }
};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

TEST(StringMap, KeysThatDifferInTheirLastCharacterShareAPrefixNode) {
  MapOwner m;
  StringMapInsert(&m.map, "abc", 1);
  StringMapInsert(&m.map, "abd", 2);
  ASSERT_NE(m.map, nullptr);
  EXPECT_STREQ(m.map->fragment, "ab");
  EXPECT_EQ(m.map->value, 0u);
  EXPECT_EQ(m.map->sibling, nullptr);
  ASSERT_NE(m.map->child, nullptr);
  EXPECT_STREQ(m.map->child->fragment, "c");
  ASSERT_NE(m.map->child->sibling, nullptr);
  EXPECT_STREQ(m.map->child->sibling->fragment, "d");
  EXPECT_EQ(StringMapFind(m.map, "ab"), 0u);
  EXPECT_EQ(StringMapFind(m.map, "abc"), 1u);
  EXPECT_EQ(StringMapFind(m.map, "abd"), 2u);
}

TEST(StringMap, PrefixKeyIsHeldByTheSplitNode) {
  MapOwner m;
  StringMapInsert(&m.map, "hello", 1);
  StringMapNode* prefix = StringMapInsert(&m.map, "hel", 2);
  ASSERT_EQ(prefix, m.map);
  EXPECT_STREQ(prefix->fragment, "hel");
  EXPECT_EQ(prefix->value, 2u);
  // One child only: no empty node duplicating the prefix's value.
  ASSERT_NE(prefix->child, nullptr);
  EXPECT_STREQ(prefix->child->fragment, "lo");
  EXPECT_EQ(prefix->child->sibling, nullptr);
  // The returned node is the one that finds read.
  prefix->value = 7;
  EXPECT_EQ(StringMapFind(m.map, "hel"), 7u);
  EXPECT_EQ(StringMapFind(m.map, "hello"), 1u);

  int visits = 0;
  StringMapForEachValue(
      m.map, [](StringMapValue, void* count) { ++*static_cast<int*>(count); }, &visits);
  EXPECT_EQ(visits, 2);
}

TEST(StringMap, SameKeyTwiceKeepsTheSecondValue) {
  MapOwner m;
  StringMapNode* first = StringMapInsert(&m.map, "key", 1);
  StringMapNode* second = StringMapInsert(&m.map, "key", 2);
  EXPECT_EQ(first, second);
  EXPECT_EQ(StringMapFind(m.map, "key"), 2u);
  EXPECT_EQ(m.map->sibling, nullptr);
  EXPECT_EQ(m.map->child, nullptr);
}

TEST(StringMap, NullAndEmptyKeys) {
  MapOwner m;
  EXPECT_EQ(StringMapInsert(&m.map, nullptr, 1), nullptr);
  EXPECT_EQ(StringMapInsert(&m.map, "", 1), nullptr);
  EXPECT_EQ(m.map, nullptr);
  EXPECT_EQ(StringMapFind(m.map, "x"), 0u);
  StringMapInsert(&m.map, "x", 1);
  EXPECT_EQ(StringMapFind(m.map, nullptr), 0u);
  EXPECT_EQ(StringMapFind(m.map, ""), 0u);
  EXPECT_EQ(StringMapFindNoCase(m.map, nullptr), 0u);
}

TEST(StringMap, FindNoCaseInATableOfUpperCaseNames) {
  MapOwner m;
  const char* tags[] = {"FORM", "FONT", "FRAME", "FRAMESET", "B", "BR", "BODY", "BASE"};
  for (StringMapValue id = 1; id <= 8; ++id) StringMapInsert(&m.map, tags[id - 1], id);
  EXPECT_EQ(StringMapFindNoCase(m.map, "font"), 2u);
  EXPECT_EQ(StringMapFindNoCase(m.map, "FrameSet"), 4u);
  EXPECT_EQ(StringMapFindNoCase(m.map, "br"), 6u);
  EXPECT_EQ(StringMapFindNoCase(m.map, "fram"), 0u);
  EXPECT_EQ(StringMapFind(m.map, "font"), 0u);
}

TEST(StringMap, FindNoCaseSearchesEveryCaseVariantBranch) {
  MapOwner m;
  StringMapInsert(&m.map, "Ab", 1);
  StringMapInsert(&m.map, "aC", 2);
  EXPECT_EQ(StringMapFindNoCase(m.map, "ac"), 2u);
  EXPECT_EQ(StringMapFindNoCase(m.map, "AB"), 1u);
  // An exact match wins over a case variant.
  StringMapInsert(&m.map, "ab", 3);
  EXPECT_EQ(StringMapFindNoCase(m.map, "ab"), 3u);
}

TEST(StringMap, AgreesWithStdMapOnSeededRandomKeys) {
  std::mt19937 random(77);
  const char letters[] = "aAbB:";
  for (int round = 0; round < 40; ++round) {
    MapOwner m;
    std::map<std::string, StringMapValue> reference;
    for (int i = 0; i < 300; ++i) {
      std::string key(1 + random() % 6, 'a');
      for (char& c : key) c = letters[random() % 5];
      const StringMapValue value = 1 + random() % 1000;
      StringMapNode* node = StringMapInsert(&m.map, key.c_str(), value);
      ASSERT_NE(node, nullptr);
      ASSERT_EQ(node->value, value);
      reference[key] = value;
    }
    for (int i = 0; i < 500; ++i) {
      std::string key(1 + random() % 7, 'a');
      for (char& c : key) c = letters[random() % 5];
      auto it = reference.find(key);
      ASSERT_EQ(StringMapFind(m.map, key.c_str()), it == reference.end() ? 0 : it->second) << key;

      // Case-insensitively: some stored key equal ignoring case, or none.
      std::vector<StringMapValue> candidates;
      for (const auto& entry : reference) {
        if (Upper(entry.first) == Upper(key)) candidates.push_back(entry.second);
      }
      const StringMapValue found = StringMapFindNoCase(m.map, key.c_str());
      if (candidates.empty()) {
        ASSERT_EQ(found, 0u) << key;
      } else if (it != reference.end()) {
        ASSERT_EQ(found, it->second) << key;
      } else {
        ASSERT_NE(std::find(candidates.begin(), candidates.end(), found), candidates.end()) << key;
      }
    }
    std::size_t visits = 0;
    StringMapForEachValue(
        m.map, [](StringMapValue, void* count) { ++*static_cast<std::size_t*>(count); }, &visits);
    EXPECT_EQ(visits, reference.size());
  }
}

TEST(StringMap, FreeEmptiesTheMap) {
  StringMap map = nullptr;
  for (int i = 0; i < 100; ++i) {
    StringMapInsert(&map, std::string(static_cast<std::size_t>(i + 1), 'k').c_str(), 1);
  }
  StringMapFree(&map);
  EXPECT_EQ(map, nullptr);
  StringMapFree(&map);
  StringMapFree(nullptr);
}

}  // namespace
