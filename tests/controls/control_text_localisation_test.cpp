#include "controls/control_text_localisation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// A table backed by a std::map, as the lookups see it.
TextLookup TableOf(const std::map<std::string, std::string>& entries) {
  return [entries](const std::string& key) -> const char* {
    static std::string answer;
    auto found = entries.find(key);
    if (found == entries.end()) return nullptr;
    answer = found->second;
    return answer.c_str();
  };
}

ControlTextSources French() {
  ControlTextSources sources;
  sources.translation = TableOf({{"&Open:101", "&Ouvrir"}, {"Close", "Fermer"}, {"  Indented", "Retrait"}});
  return sources;
}

TEST(ControlTextLocalisation, PaddingBecomesOneBlankOnEachSide) {
  EXPECT_EQ(LocaliseControlText("  &Open", 101, French()).window_text, " &Ouvrir");
  EXPECT_EQ(LocaliseControlText("&Open\n", 101, French()).window_text, "&Ouvrir ");
  EXPECT_EQ(LocaliseControlText("&Open \t\r\n", 101, French()).window_text, "&Ouvrir ");
  EXPECT_EQ(LocaliseControlText("&Open", 101, French()).window_text, "&Ouvrir");
  // A leading tab is no blank: it is part of the key, so nothing matches.
  EXPECT_EQ(LocaliseControlText("\t&Open", 101, French()).window_text, "\t&Open");
}

TEST(ControlTextLocalisation, KeyWithDialogIdComesFirstThenTheTextAsRead) {
  // Keyed for dialog 101 only.
  EXPECT_EQ(LocaliseControlText("&Open", 102, French()).window_text, "&Open");
  // The plain text (trailing space gone, leading blanks kept) is the fallback.
  EXPECT_EQ(LocaliseControlText("Close", 555, French()).window_text, "Fermer");
  EXPECT_EQ(LocaliseControlText("  Indented ", 9, French()).window_text, " Retrait ");
}

TEST(ControlTextLocalisation, UntranslatedTextsStaySameWhenLocalisedAgain) {
  const std::string once = LocaliseControlText("   Volume  \n", 7, French()).window_text;
  EXPECT_EQ(once, " Volume ");
  EXPECT_EQ(LocaliseControlText(once, 7, French()).window_text, once);
}

TEST(ControlTextLocalisation, RecordsTheEnglishSourceOfWhatIsShown) {
  const LocalisedControlText result = LocaliseControlText("  &Open\r\n", 101, French());
  ASSERT_TRUE(result.record_source);
  EXPECT_EQ(result.source_key, "&Ouvrir:101");
  EXPECT_EQ(result.source_text, "&Open");
}

TEST(ControlTextLocalisation, SourceTableBringsBackTheEnglishText) {
  ControlTextSources english;
  english.source_texts = TableOf({{"&Ouvrir:101", "&Open"}});
  const LocalisedControlText restored = LocaliseControlText(" &Ouvrir", 101, english);
  EXPECT_EQ(restored.window_text, " &Open");
  // Recording "&Open:101" -> "&Ouvrir" would show French in a dialog 101
  // opened later, in English.
  EXPECT_FALSE(restored.record_source);
  // The translation table, when there is one, wins over the source table.
  ControlTextSources both = French();
  both.source_texts = english.source_texts;
  EXPECT_EQ(LocaliseControlText("&Ouvrir", 101, both).window_text, "&Ouvrir");
}

TEST(ControlTextLocalisation, HookReplacementIsPaddedAndNotRecorded) {
  ControlTextSources sources = French();
  sources.hook = TableOf({{"&Ouvrir", "OUVRIR"}});
  const LocalisedControlText replaced = LocaliseControlText("  &Open\n", 101, sources);
  EXPECT_EQ(replaced.window_text, " OUVRIR ");
  EXPECT_FALSE(replaced.record_source);
  // A hook that declines leaves the table's result, which is recorded.
  const LocalisedControlText declined = LocaliseControlText("Close", 3, sources);
  EXPECT_EQ(declined.window_text, "Fermer");
  EXPECT_TRUE(declined.record_source);
}

TEST(ControlTextLocalisation, EmptyTextIsLeftAlone) { EXPECT_FALSE(LocaliseControlText("", 101, French()).changed); }

}  // namespace
