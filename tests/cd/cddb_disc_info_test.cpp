// Disc records as the program reads them, from the corpus in cddb_records/
// (each .txt with its .expected, named after what it tests); then the choice
// of a match and the titles given to each audio track.
#include "cd/cddb_disc_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::vector<unsigned char> bytes = testing_support::ReadWholeFile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

// Year and genre show only when the record has them, so that the cases
// written before they were kept still describe their records.
std::string Describe(const CddbDiscInfo& info, const CddbDiscExtras& extras) {
  std::string text = "disc=[" + std::string(info.disc_title) + "]\ncount=" + std::to_string(info.title_count) + "\n";
  for (int i = 0; i < info.title_count; ++i) text += std::to_string(i) + "=[" + info.track_titles[i] + "]\n";
  if (extras.year[0]) text += "year=[" + std::string(extras.year) + "]\n";
  if (extras.genre[0]) text += "genre=[" + std::string(extras.genre) + "]\n";
  return text;
}

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(CddbRecordCorpus, RecordsParseAsExpected) {
  int cases = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(CD_CDDB_RECORD_DIR)) {
    if (entry.path().extension() != ".txt") continue;
    ++cases;
    SCOPED_TRACE(entry.path().filename().string());
    CddbDiscInfo info;
    CddbDiscExtras extras;
    std::memset(&info, 0x5A, sizeof info);  // the parse must not rely on a zeroed record
    std::memset(&extras, 0x5A, sizeof extras);
    const std::string text = ReadText(entry.path());
    ParseCddbDiscInfo(text.c_str(), &info, nullptr, &extras);
    fs::path expected_path = entry.path();
    expected_path.replace_extension(".expected");
    ASSERT_TRUE(fs::exists(expected_path)) << Describe(info, extras);
    EXPECT_EQ(ReadText(expected_path), Describe(info, extras));
  }
  EXPECT_GT(cases, 10);
}

TEST(CddbDiscInfoCuts, DoubleByteCharactersAreNeverSplit) {
  // 82 single bytes, then a double-byte character that would straddle 83.
  std::string title = std::string(82, 'a') + "\x82\xa0";
  CddbDiscInfo info;
  ParseCddbDiscInfo(("DTITLE=" + title + "\nTTITLE0=" + title).c_str(), &info, ShiftJisLead);
  EXPECT_EQ(std::string(info.disc_title), std::string(82, 'a'));
  EXPECT_EQ(std::string(info.track_titles[0]), std::string(82, 'a'));
  // At 81 characters as well.
  char field[kCddbTextSize];
  const std::string match = std::string(80, 'b') + "\x82\xa0";
  CopyCut(field, match.c_str(), match.size(), kCddbMatchTextChars, ShiftJisLead);
  EXPECT_EQ(std::string(field), std::string(80, 'b'));
  const std::string fits = std::string(79, 'b') + "\x82\xa0";
  CopyCut(field, fits.c_str(), fits.size(), kCddbMatchTextChars, ShiftJisLead);
  EXPECT_EQ(std::string(field), fits);
  // Without the predicate bytes are cut where they fall.
  CopyCut(field, match.c_str(), match.size(), kCddbMatchTextChars, nullptr);
  EXPECT_EQ(std::strlen(field), 81u);
}

TEST(CddbMatchChoice, FirstExactMatchElseFirst) {
  akrip::CddbMatch matches[3] = {};
  EXPECT_EQ(ChooseCddbMatch(matches, 0), -1);
  EXPECT_EQ(ChooseCddbMatch(matches, 3), 0);
  matches[1].exact = 1;
  matches[2].exact = 1;
  EXPECT_EQ(ChooseCddbMatch(matches, 3), 1);
}

TrackTable Disc(int first, std::vector<std::pair<int, bool>> numbers_and_audio) {
  TrackTable table{};
  table.toc_first_track = first;
  table.toc_track_count = int(numbers_and_audio.size());
  for (const auto& track : numbers_and_audio) {
    if (!track.second) continue;
    table.entries[table.count].number = track.first;
    table.entries[table.count].length = 1000;
    ++table.count;
  }
  return table;
}

std::vector<std::string> Titles(std::vector<const char*> titles) {
  CddbDiscInfo info{};
  for (const char* title : titles) std::strcpy(info.track_titles[info.title_count++], title);
  return RecordTitles(info);
}

TEST(CddbTrackTitles, DataTracksKeepTheirPlaceInTheRecord) {
  using Titles_ = std::vector<std::string>;
  // Enhanced CD: the data track last.
  EXPECT_EQ(TitlesForAudioTracks(Titles({"a", "b", "data"}), Disc(1, {{1, true}, {2, true}, {3, false}})),
            (Titles_{"a", "b"}));
  // Mixed mode: the data track first.
  EXPECT_EQ(TitlesForAudioTracks(Titles({"data", "a", "b"}), Disc(1, {{1, false}, {2, true}, {3, true}})),
            (Titles_{"a", "b"}));
  // Numbering that starts above 1.
  EXPECT_EQ(TitlesForAudioTracks(Titles({"x", "y"}), Disc(4, {{4, true}, {5, true}})), (Titles_{"x", "y"}));
  // All audio, one title per track.
  EXPECT_EQ(TitlesForAudioTracks(Titles({"1", "2"}), Disc(1, {{1, true}, {2, true}})), (Titles_{"1", "2"}));
}

TEST(CddbTrackTitles, RecordsThatDoNotFitTheDiscGiveNoTitles) {
  // 11 titles for 12 tracks.
  std::vector<std::pair<int, bool>> twelve;
  for (int i = 1; i <= 12; ++i) twelve.push_back({i, true});
  std::vector<const char*> eleven(11, "t");
  EXPECT_TRUE(TitlesForAudioTracks(Titles(eleven), Disc(1, twelve)).empty());
  // Titles for the audio tracks only on a disc with a data track: the record
  // does not number them as the disc does.
  EXPECT_TRUE(TitlesForAudioTracks(Titles({"a", "b"}), Disc(1, {{1, true}, {2, true}, {3, false}})).empty());
  // No tracks at all.
  EXPECT_TRUE(TitlesForAudioTracks(Titles({"a"}), TrackTable{}).empty());
}

}  // namespace
