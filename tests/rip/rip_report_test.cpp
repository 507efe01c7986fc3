// The rip log and the cue sheet written beside a rip's files: their lines
// are what log readers and players parse, so they are checked whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rip/cue_sheet_writer.h"
#include "rip/rip_log.h"

namespace {

TEST(RipLog, EveryVerdictAndResultHasItsLine) {
  RipLogDisc disc{"Corvale 1.0.0",
                  "2026-12-08 10:56:06",
                  "Artist",
                  "Album",
                  "1a0b2c03",
                  "003-0001a2b3-0004c5d6-1a0b2c03",
                  "Virtual CD: demo.cue",
                  -667,
                  "secure",
                  ".flac"};
  std::vector<RipLogTrack> tracks(4);
  tracks[0].number = 1;
  tracks[0].title = "Caf\xC3\xA9";
  tracks[0].file = "C:\\Music\\Artist - Caf\xC3\xA9.wav";
  tracks[0].end_sector = 1000;
  tracks[0].peak_per_mille = 981;
  tracks[0].copy_crc = 0xABCDEF01;
  tracks[0].tested = true;
  tracks[0].test_crc = 0xABCDEF01;
  tracks[0].accuraterip_v1 = 0x1234;
  tracks[0].accuraterip_v2 = 0x5678;
  tracks[0].verdict = LogVerdict::kAccurate;
  tracks[0].confidence = 12;
  tracks[1] = tracks[0];
  tracks[1].number = 2;
  tracks[1].tested = false;
  tracks[1].verdict = LogVerdict::kNotAccurate;
  tracks[1].confidence = 7;
  tracks[1].reread_blocks = 3;
  tracks[1].suspicious_sectors = {80, 4575};
  tracks[1].result = LogResult::kSuspicious;
  tracks[2] = tracks[1];
  tracks[2].number = 3;
  tracks[2].verdict = LogVerdict::kNotInDatabase;
  tracks[2].reread_blocks = 0;
  tracks[2].suspicious_sectors.clear();
  tracks[2].unreachable_samples = 667;
  tracks[2].result = LogResult::kOk;
  tracks[3] = tracks[2];
  tracks[3].number = 10;
  tracks[3].unreachable_samples = 0;
  tracks[3].verdict = LogVerdict::kNotChecked;
  tracks[3].not_checked = "no network";
  tracks[3].result = LogResult::kFailed;
  tracks[3].failure = "read error";
  const std::string log = FormatRipLog(disc, tracks);

  const std::string track =
      "\r\nTrack 01 Caf\xC3\xA9\r\n  File: C:\\Music\\Artist - Caf\xC3\xA9.wav\r\n"
      "  Range: 0-1000\r\n  Peak: 98.1 %\r\n  Copy CRC: ABCDEF01\r\n  Test CRC: ABCDEF01\r\n"
      "  AccurateRip v1: 00001234\r\n  AccurateRip v2: 00005678\r\n"
      "  AccurateRip: accurate, confidence 12\r\n  Re-read: none\r\n  Result: ok\r\n";
  const char* const expected_lines[] = {
      "\xEF\xBB\xBF"
      "Corvale 1.0.0 rip log\r\nDate: 2026-12-08 10:56:06\r\n",
      "AccurateRip id: 003-0001a2b3-0004c5d6-1a0b2c03\r\n",
      "Read offset: -667 samples\r\nMode: secure\r\nFormat: .flac\r\n",
      track.c_str(),
      "  AccurateRip: not accurate (7 submissions)\r\n  Re-read: 3 blocks, suspicious at 0:01.05, 1:01.00\r\n"
      "  Result: suspicious\r\n",
      "\r\nTrack 03 ",
      "  Unreachable: 667 samples written as silence\r\n",
      "  AccurateRip: not in database\r\n  Re-read: none\r\n  Result: ok\r\n",
      "\r\nTrack 10 ",
      "  AccurateRip: not checked (no network)\r\n  Re-read: none\r\n  Result: failed (read error)\r\n",
      "\r\nSummary: 1 of 4 tracks accurate, 1 suspicious, 1 failed\r\n",
  };
  size_t at = 0;
  for (const char* part : expected_lines) {
    const size_t found = log.find(part, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << part << "\nin:\n" << log;
    at = found;
  }
  EXPECT_EQ(log.find("Test CRC", log.find("Track 02")), std::string::npos) << "only a tested track has one";
  EXPECT_EQ(log.find('\n'), log.find("\r\n") + 1);
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

TEST(CueSheetWriter, DiscAndTracksWithTheFirstTracksGapAndNoQuotesInTexts) {
  CueSheetDisc disc{"Rock", "1999", "1a0b2c03", "Corvale 1.0.0", "The \"Band\"", "Album"};
  const std::vector<CueSheetTrack> tracks = {
      {1, "The Band - One.MP3", "One", "The Band", 32},
      {2, "The Band - Two.wav", "Two \"live\"", "The Band", 15000},
  };
  EXPECT_EQ(FormatCueSheet(disc, tracks),
            "REM GENRE \"Rock\"\r\nREM DATE 1999\r\nREM DISCID 1a0b2c03\r\nREM COMMENT \"Corvale 1.0.0\"\r\n"
            "PERFORMER \"The 'Band'\"\r\nTITLE \"Album\"\r\n"
            "FILE \"The Band - One.MP3\" MP3\r\n  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n"
            "    PERFORMER \"The Band\"\r\n    PREGAP 00:00:32\r\n    INDEX 01 00:00:00\r\n"
            "FILE \"The Band - Two.wav\" WAVE\r\n  TRACK 02 AUDIO\r\n    TITLE \"Two 'live'\"\r\n"
            "    PERFORMER \"The Band\"\r\n    INDEX 01 00:00:00\r\n");
  disc.genre.clear();
  disc.year.clear();
  const std::string without = FormatCueSheet(disc, {{1, "a.wav", "a", "b", 0}});
  EXPECT_EQ(without.find("REM GENRE"), std::string::npos);
  EXPECT_EQ(without.find("REM DATE"), std::string::npos);
  EXPECT_EQ(without.find("PREGAP"), std::string::npos) << "a first track at sector 0 has no gap";
  const std::string later = FormatCueSheet(disc, {{5, "e.wav", "e", "b", 60000}, {6, "f.wav", "f", "b", 70000}});
  EXPECT_EQ(later.find("PREGAP"), std::string::npos) << "only the disc's track 1 has a gap before it";
}

}  // namespace
