#include "common/message_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageFormatTest, FormatsDirectives) {
  EXPECT_EQ(FormatMessageText("File '%s' already exists.", "a.wav"), std::string("File 'a.wav' already exists."));
  EXPECT_EQ(FormatMessageText("%s %02d", "Track", 1), std::string("Track 01"));
  EXPECT_EQ(FormatMessageText("100%%"), std::string("100%"));
  EXPECT_EQ(FormatMessageText("%s", ""), std::string());
  EXPECT_FALSE(FormatMessageText(nullptr));
}

// The scratch area starts at 1024 bytes and grows: texts just below, at and
// far above each step come out whole.
TEST(MessageFormatTest, LongTextsComeOutWhole) {
  for (std::size_t length : {1022u, 1023u, 1024u, 1025u, 3071u, 3072u, 3073u, 100000u}) {
    std::string argument(length, 'x');
    argument.back() = 'E';
    std::optional<std::string> text = FormatMessageText("<%s>", argument.c_str());
    ASSERT_TRUE(text) << length;
    EXPECT_EQ(*text, "<" + argument + ">") << length;
  }
}

TEST(MessageFormatTest, TextWithNumberFillsOnlyTheFirstNumberField) {
  EXPECT_EQ(TextWithNumber("The rip stopped (code %d).", -7), "The rip stopped (code -7).");
  EXPECT_EQ(TextWithNumber("%d and %d", 1), "1 and %d");
  EXPECT_EQ(TextWithNumber("no field", 3), "no field");
  EXPECT_EQ(TextWithNumber(nullptr, 3), "");
  // A translation that asks for a text or a pointer stays literal instead of
  // reading arguments that were never passed.
  EXPECT_EQ(TextWithNumber("%s %n %d %%", 12), "%s %n 12 %%");
}

}  // namespace
