// Which files the program tags, how a typed year is read, and ID3's track text.
#include "rip/tag_layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

TEST(TagLayoutForFileName, TheLastExtensionInAnyCaseDecides) {
  const struct {
    const char* name;
    TagLayout expected;
  } cases[] = {
      {"C:\\Music\\a.mp3", TagLayout::kId3},
      {"a.MP3", TagLayout::kId3},
      {"a.Flac", TagLayout::kFlac},
      {"a.ogg", TagLayout::kOggVorbis},
      {"a.OPUS", TagLayout::kOpus},
      {"a.wma", TagLayout::kAsf},
      {"a.mp3.txt", TagLayout::kNone},
      {"a.wav", TagLayout::kNone},
      {"mp3", TagLayout::kNone},
      {"C:\\x.mp3\\file", TagLayout::kNone},
      {"C:\\x.mp3\\.mp3", TagLayout::kId3},
      {"a.mp3 ", TagLayout::kNone},
      {"", TagLayout::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(TagLayoutForFileName(c.name), c.expected) << c.name;
}

TEST(ParseTagYear, WholeNumbersFrom0To9999OrNothing) {
  const struct {
    const char* text;
    std::optional<int> expected;
  } cases[] = {
      {"1998", 1998},
      {"0", 0},
      {"9999", 9999},
      {" 2024\t", 2024},
      {"", 0},
      {"   ", 0},
      {"0042", 42},
      {"10000", std::nullopt},
      {"-1", std::nullopt},
      {"19 98", std::nullopt},
      {"1e3", std::nullopt},
      {"+12", std::nullopt},
      {"1998-05-01", std::nullopt},
      {"\xb2", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTagYear(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST(Id3TrackText, NumberAndTotalOrTheNumberAlone) {
  EXPECT_EQ(Id3TrackText({{"TRACKNUMBER", "2"}, {"TRACKTOTAL", "5"}}), "2/5");
  EXPECT_EQ(Id3TrackText({{"TRACKTOTAL", "5"}, {"TRACKNUMBER", "12"}}), "12/5");
  EXPECT_EQ(Id3TrackText({{"TRACKNUMBER", "2"}}), "2");
  EXPECT_EQ(Id3TrackText({{"TRACKTOTAL", "5"}}), "");
  EXPECT_EQ(Id3TrackText({}), "");
}

// Typed years as files, each named after the rule it keeps or breaks, with
// the reading expected beside it.
void CheckYearCorpus(const char* folder) {
  namespace fs = std::filesystem;
  int cases = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(RIP_TAG_YEAR_CORPUS_DIR) / folder)) {
    if (entry.path().extension() != ".txt") continue;
    ++cases;
    SCOPED_TRACE(entry.path().filename().string());
    const std::vector<unsigned char> typed = testing_support::ReadWholeFile(entry.path().string());
    fs::path expected_path = entry.path();
    expected_path.replace_extension(".expected");
    const std::vector<unsigned char> expected = testing_support::ReadWholeFile(expected_path.string());
    const std::string typed_text(typed.begin(), typed.end());
    const std::optional<int> year = ParseTagYear(typed_text);
    std::string reading = "refused";
    if (year && typed_text.find_first_of("0123456789") == std::string::npos) reading = "no year";
    if (year && typed_text.find_first_of("0123456789") != std::string::npos) reading = "year " + std::to_string(*year);
    EXPECT_EQ(reading + "\n", std::string(expected.begin(), expected.end()));
  }
  EXPECT_GT(cases, 5);
}

TEST(ParseTagYearCorpus, TypedYearsThatAreTaken) { CheckYearCorpus("good"); }
TEST(ParseTagYearCorpus, TypedYearsThatAreRefused) { CheckYearCorpus("bad"); }

}  // namespace
