#include "common/wildcard.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

namespace {

// Plain recursive matcher: exponential at worst, obviously right.
bool ReferenceMatch(const char* name, const char* pattern) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    return ReferenceMatch(name, pattern + 1) || (*name && ReferenceMatch(name + 1, pattern));
  }
  if (*name == '\0') return false;
  if (*pattern != '?' &&
      std::toupper(static_cast<unsigned char>(*pattern)) != std::toupper(static_cast<unsigned char>(*name))) {
    return false;
  }
  return ReferenceMatch(name + 1, pattern + 1);
}

TEST(WildcardMatch, StarsAndQuestionMarks) {
  EXPECT_EQ(WildcardMatch("Song.MP3", "*.mp3"), 1);
  EXPECT_EQ(WildcardMatch("abc", "ab?"), 1);
  EXPECT_EQ(WildcardMatch("ab", "ab?"), 0);
  EXPECT_EQ(WildcardMatch("a.txt.txt", "*.txt"), 1);
  EXPECT_EQ(WildcardMatch("a.txt.bak", "*.txt"), 0);
  EXPECT_EQ(WildcardMatch("anything", "*"), 1);
  EXPECT_EQ(WildcardMatch("", "*"), 1);
  EXPECT_EQ(WildcardMatch("x", ""), 0);
  EXPECT_EQ(WildcardMatch("", ""), 0);
  EXPECT_EQ(WildcardMatch("track01.wav", "track??.wav"), 1);
  EXPECT_EQ(WildcardMatch("track1.wav", "track??.wav"), 0);
  EXPECT_EQ(WildcardMatch("a-b-c", "*-?"), 1);
  EXPECT_EQ(WildcardMatch("axyzb", "*a?b"), 0);
  EXPECT_EQ(WildcardMatch("xaYaZb", "*a?b"), 1);
  EXPECT_EQ(WildcardMatch(nullptr, "*"), 0);
  EXPECT_EQ(WildcardMatch("a", nullptr), 0);
}

TEST(WildcardMatch, AgreesWithReferenceOnSeededRandomInputs) {
  std::mt19937 random(5150);
  const char name_letters[] = "abAB.";
  const char pattern_letters[] = "aAb.*?";
  for (int round = 0; round < 20000; ++round) {
    std::string name(random() % 9, 'a');
    for (char& c : name) c = name_letters[random() % 5];
    std::string pattern(1 + random() % 7, 'a');
    for (char& c : pattern) c = pattern_letters[random() % 6];
    const int expected = ReferenceMatch(name.c_str(), pattern.c_str()) ? 1 : 0;
    ASSERT_EQ(WildcardMatch(name.c_str(), pattern.c_str()), expected)
        << "name '" << name << "' pattern '" << pattern << "'";
  }
}

TEST(WildcardMatch, HostilePatternOnALongNameFinishes) {
  // Exponential for a backtracking matcher; must answer without hanging.
  const std::string name(200000, 'a');
  EXPECT_EQ(WildcardMatch(name.c_str(), "*a*a*a*a*b"), 0);
  EXPECT_EQ(WildcardMatch((name + "b").c_str(), "*a*a*a*a*b"), 1);
  // Literal runs of any length.
  const std::string long_literal(3000, 'x');
  EXPECT_EQ(WildcardMatch(("y" + long_literal).c_str(), ("*" + long_literal).c_str()), 1);
}

TEST(WildcardMatchList, CommasSemicolonsAndBlanks) {
  EXPECT_EQ(WildcardMatchList("Song.MP3", "*.wav,*.mp3"), 1);
  EXPECT_EQ(WildcardMatchList("Song.ogg", "*.wav,*.mp3"), 0);
  EXPECT_EQ(WildcardMatchList("a.ogg", "*.wav;*.ogg"), 1);
  EXPECT_EQ(WildcardMatchList("a.wav", "*.wav;*.mp3,*.ogg"), 1);
  EXPECT_EQ(WildcardMatchList("a.mp3", "*.wav;*.mp3,*.ogg"), 1);
  EXPECT_EQ(WildcardMatchList("a.mp3", "*.wav ; *.mp3"), 1);
  EXPECT_EQ(WildcardMatchList("a.mp3", ",,;"), 0);
  EXPECT_EQ(WildcardMatchList("a.mp3", ""), 0);
  EXPECT_EQ(WildcardMatchList("a.mp3", nullptr), 0);
}

}  // namespace
