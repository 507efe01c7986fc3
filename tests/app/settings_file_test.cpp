#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace {

// One variable of every kind the table reader and writer know.
struct AllKinds {
  SettingText text;
  SettingText empty_text;
  SettingText absent_text;
  int32_t number = 0;
  char character = 0;
  uint8_t flag = 0;
  std::string placement;  // stands in for a window's placement values

  SettingTable Table() {
    return {
        SettingItem::Text("text", &text),
        SettingItem::Text("emptyText", &empty_text),
        SettingItem::Text("absentText", &absent_text),
        SettingItem::Integer("number", &number),
        SettingItem::Character("character", &character),
        SettingItem::Flag("flag", &flag),
        SettingItem::Placement("placement",
                               {[this] { return placement; }, [this](const char* value) { placement = value; }}),
    };
  }
};

std::string WriteToText(const SettingTable& table, int* visited) {
  testing_support::TempDir dir;
  const std::string path = dir.File("out.ini");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  EXPECT_NE(out, nullptr);
  *visited = WriteSettingTable(out, table);
  std::fclose(out);
  const auto bytes = testing_support::ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

int ReadFromText(const std::string& content, const SettingTable& table) {
  testing_support::TempDir dir;
  const std::string path = dir.File("in.ini");
  testing_support::WriteWholeFile(path, content);
  std::FILE* in = std::fopen(path.c_str(), "rb");
  EXPECT_NE(in, nullptr);
  const int applied = ReadSettingTable(in, table);
  std::fclose(in);
  return applied;
}

TEST(SettingTable, EveryKindSurvivesAWriteAndARead) {
  AllKinds written;
  written.text = "C:\\Music\\Rock";
  written.empty_text = "";
  written.number = INT32_MIN;
  written.character = 'Q';
  written.flag = 7;
  written.placement = "10,20,640,480,1,-5,3";
  int visited = 0;
  const std::string text = WriteToText(written.Table(), &visited);
  EXPECT_EQ(visited, 7);
  EXPECT_EQ(text,
            "text=C:\\Music\\Rock\nnumber=-2147483648\ncharacter=Q\nflag=1\n"
            "placement=10,20,640,480,1,-5,3\n");

  AllKinds read;
  read.absent_text = "stale";
  ClearTextSettings(read.Table());
  EXPECT_FALSE(read.absent_text.has_value());
  EXPECT_EQ(ReadFromText(text, read.Table()), 5);
  EXPECT_EQ(read.text, written.text);
  EXPECT_FALSE(read.empty_text.has_value()) << "an empty text is not written";
  EXPECT_FALSE(read.absent_text.has_value());
  EXPECT_EQ(read.number, INT32_MIN);
  EXPECT_EQ(read.character, 'Q');
  EXPECT_EQ(read.flag, 1);
  EXPECT_EQ(read.placement, written.placement);
}

TEST(SettingTable, EmptyValuesAreKeptApartFromMissingOnes) {
  AllKinds read;
  read.character = 'x';
  read.flag = 1;
  read.number = 5;
  EXPECT_EQ(ReadFromText("text=\ncharacter=\nflag=\nnumber=\n", read.Table()), 4);
  ASSERT_TRUE(read.text.has_value());
  EXPECT_EQ(*read.text, "");
  EXPECT_EQ(read.character, '\0');
  EXPECT_EQ(read.flag, 0);
  EXPECT_EQ(read.number, 0);

  // A character of NUL is written as an empty value, never as a NUL byte.
  int visited = 0;
  const std::string text = WriteToText(read.Table(), &visited);
  EXPECT_NE(text.find("character=\n"), std::string::npos);
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

// A pasted or crafted text must not become further keys at the next start.
TEST(SettingTable, LineBreaksInValuesAreWrittenAsBlanks) {
  AllKinds written;
  written.text = "C:\\Music\r\nnumber=99\rflag=1\ncharacter=Z";
  written.character = '\n';
  written.placement = "1,2\n3";
  int visited = 0;
  const std::string text = WriteToText(written.Table(), &visited);
  EXPECT_EQ(text,
            "text=C:\\Music  number=99 flag=1 character=Z\nnumber=0\ncharacter= \nflag=0\n"
            "placement=1,2 3\n");

  AllKinds read;
  EXPECT_EQ(ReadFromText(text, read.Table()), 5);
  EXPECT_EQ(read.text, "C:\\Music  number=99 flag=1 character=Z");
  EXPECT_EQ(read.number, 0);
  EXPECT_EQ(read.flag, 0);
}

TEST(SettingTable, KeyMustMatchWithoutCaseAndBeFollowedDirectlyByEquals) {
  AllKinds read;
  const SettingTable table = read.Table();
  EXPECT_TRUE(ApplySettingLine("TEXT=a", table));
  EXPECT_EQ(read.text, "a");
  EXPECT_TRUE(ApplySettingLine("tExT==b", table));
  EXPECT_EQ(read.text, "=b") << "the value is everything after the first =";
  for (const char* line : {"textual=c", "text =c", " text=c", "text", "tex=c", "", "="}) {
    EXPECT_FALSE(ApplySettingLine(line, table)) << line;
  }
  EXPECT_EQ(read.text, "=b");
}

TEST(ParseSettingInteger, TakesTheLeadingDecimalNumber) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"128", 128},
      {"  -7kbps", -7},
      {"\t+42", 42},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"--3", 0},
      {"1.5", 1},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-99999999999999999999", INT32_MIN},
      {"0x10", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSettingInteger(c.text), c.expected) << c.text;
}

// A ranged number refuses what the lenient reader would cut to a number
// ("5x" is not 5, "abc" is not 0), so a typo gives the default, not a
// different setting.
TEST(RangedSetting, OnlyAWholeNumberInRangeIsTaken) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"667", 667}, {" -5880 ", -5880}, {"+5880", 5880}, {"5881", 99}, {"-5881", 99},       {"abc", 99}, {"", 99},
      {"-", 99},    {"5x", 99},         {"1.5", 99},     {"0", 0},     {"99999999999", 99}, {"--1", 99}, {"\t12\t", 12},
  };
  for (const Case& c : cases) {
    int32_t value = 7;
    SettingTable table = {SettingItem::Ranged("offset", &value, -5880, 5880, 99)};
    ASSERT_TRUE(ApplySettingLine(std::string("offset=") + c.text, table)) << c.text;
    EXPECT_EQ(value, c.expected) << c.text;
  }
}

}  // namespace
