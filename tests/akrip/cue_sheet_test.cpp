// The CUE parser against a corpus of sheets: good/ ones with the parse written
// out as text, bad/ ones named after the rule they break with the expected
// complaint.  Each .cue has its .expected beside it.
#include "akrip/cue_sheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string ModeName(akrip::TrackMode mode) {
  switch (mode) {
    case akrip::TrackMode::kAudio:
      return "AUDIO";
    case akrip::TrackMode::kMode1Raw:
      return "MODE1/2352";
    case akrip::TrackMode::kMode2Raw:
      return "MODE2/2352";
  }
  return "?";
}

const char* FileTypeName(akrip::CueFileType type) {
  switch (type) {
    case akrip::CueFileType::kBinary:
      return "";
    case akrip::CueFileType::kMotorola:
      return " motorola";
    case akrip::CueFileType::kAudioFile:
      return " audio file";
  }
  return " ?";
}

// Texts appear only when the sheet gives them, so sheets without any read as before.
std::string DescribeTexts(const std::string& indent, const std::string& title, const std::string& performer) {
  std::string text;
  if (!title.empty()) text += indent + "title \"" + title + "\"\n";
  if (!performer.empty()) text += indent + "performer \"" + performer + "\"\n";
  return text;
}

std::string Describe(const akrip::CueSheet& sheet) {
  std::string text;
  char line[160];
  if (!sheet.utf8) text += "ansi\n";
  text += DescribeTexts("", sheet.title, sheet.performer);
  for (size_t f = 0; f < sheet.files.size(); ++f) {
    text += "file " + std::to_string(f) + " \"" + sheet.files[f].name + "\"" + FileTypeName(sheet.files[f].type) + "\n";
  }
  for (const akrip::CueTrack& t : sheet.tracks) {
    std::snprintf(line, sizeof line, "track %d %s flags 0x%02x pregap %u postgap %u", t.number,
                  ModeName(t.mode).c_str(), t.flag_bits, t.pregap, t.postgap);
    text += line;
    if (t.session != 1) text += " session " + std::to_string(t.session);
    text += "\n";
    text += DescribeTexts("  ", t.title, t.performer);
    for (const akrip::CueIndex& i : t.indexes) {
      std::snprintf(line, sizeof line, "  index %d file %d sector %u\n", i.number, i.file, i.position);
      text += line;
    }
  }
  return text;
}

std::string ReadText(const fs::path& path) {
  std::vector<unsigned char> bytes = testing_support::ReadWholeFile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

void CheckCorpus(const char* folder) {
  const fs::path dir = fs::path(AKRIP_CUESHEET_DIR) / folder;
  int cases = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".cue") continue;
    ++cases;
    SCOPED_TRACE(entry.path().filename().string());
    akrip::CueSheet sheet;
    akrip::CueResult result = akrip::ParseCueSheet(ReadText(entry.path()), &sheet);
    std::string actual =
        result.ok ? Describe(sheet) : "error line " + std::to_string(result.line) + ": " + result.reason + "\n";
    fs::path expected_path = entry.path();
    expected_path.replace_extension(".expected");
    if (!fs::exists(expected_path)) {
      ADD_FAILURE() << "no expected result; the parse gives:\n" << actual << "<end>";
      continue;
    }
    EXPECT_EQ(ReadText(expected_path), actual);
    EXPECT_EQ(result.ok, std::string(folder) == "good");
  }
  EXPECT_GT(cases, 5);
}

TEST(CueSheetCorpus, GoodSheets) { CheckCorpus("good"); }
TEST(CueSheetCorpus, BadSheets) { CheckCorpus("bad"); }

TEST(CueTime, MinutesSecondsFrames) {
  uint32_t sectors = 0;
  ASSERT_TRUE(akrip::ParseCueTime("74:00:00", &sectors));
  EXPECT_EQ(sectors, 74u * 60 * 75);
  ASSERT_TRUE(akrip::ParseCueTime("00:02:74", &sectors));
  EXPECT_EQ(sectors, 224u);
  for (const char* bad : {"", "1:2", "00:00:-1", "00::00", "00:00:00:00", "1000:00:00", " 00:00:00"}) {
    EXPECT_FALSE(akrip::ParseCueTime(bad, &sectors)) << bad;
  }
}

// Decides whether a sheet's names are UTF-8 or ANSI: an ANSI "é" must not pass.
TEST(CueText, TellsUtf8FromAnsi) {
  for (const char* utf8 : {"", "plain", "Caf\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x8E\xB5", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(akrip::IsUtf8(utf8)) << utf8;
  }
  for (const char* ansi : {"Caf\xE9", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                           "\xE6\x97", "\x80", "\xFF"}) {
    EXPECT_FALSE(akrip::IsUtf8(ansi)) << ansi;
  }
}

}  // namespace
