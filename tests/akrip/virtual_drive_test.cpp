// Disc images read as a drive would read them: exact bytes from the files,
// silence for gaps that no file holds, refusals where a drive refuses.
#include "akrip/virtual_drive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "akrip/cdda.h"
#include "image_compare.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

constexpr size_t kSector = cdda::kSectorBytes;

// Sector bytes that differ per file, per sector and per offset.
std::vector<uint8_t> FileSectors(int file, uint32_t first, uint32_t count) {
  std::vector<uint8_t> bytes(count * kSector);
  for (uint32_t s = 0; s < count; ++s) {
    for (size_t i = 0; i < kSector; ++i) {
      bytes[s * kSector + i] = uint8_t((first + s) * 7 + i * 13 + file * 101);
    }
  }
  return bytes;
}

struct Image {
  TempDir dir;
  std::string cue;

  Image(const std::string& sheet, const std::vector<std::pair<std::string, uint32_t>>& files) {
    for (size_t f = 0; f < files.size(); ++f) {
      std::vector<uint8_t> bytes = FileSectors(int(f), 0, files[f].second);
      testing_support::WriteWholeFile(dir.File(files[f].first), bytes.data(), bytes.size());
    }
    cue = dir.File("image.cue");
    testing_support::WriteWholeFile(cue, sheet);
  }
};

std::unique_ptr<akrip::VirtualDrive> Open(const Image& image, akrip::DiscImage* loaded) {
  akrip::ImageResult result = akrip::LoadDiscImage(image.cue, loaded);
  EXPECT_TRUE(result.ok) << result.reason;
  akrip::LibError error = akrip::kErrNone;
  std::unique_ptr<akrip::VirtualDrive> drive = akrip::VirtualDrive::Open(*loaded, &error);
  EXPECT_TRUE(drive);
  return drive;
}

TEST(VirtualDrive, ReadsExactBytesAcrossFilesAndGaps) {
  Image image(
      "FILE \"track one.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
      "FILE \"two.bin\" BINARY\r\n  TRACK 02 AUDIO\r\n    PREGAP 00:00:10\r\n    INDEX 01 00:00:00\r\n",
      {{"track one.bin", 40}, {"two.bin", 30}});
  akrip::DiscImage loaded;
  auto drive = Open(image, &loaded);
  ASSERT_TRUE(drive);
  EXPECT_EQ(loaded.layout.lead_out, 80u);
  EXPECT_EQ(loaded.layout.tracks[1].start, 50u);

  // 30..56: ten sectors of file 0, ten silent ones, seven of file 1.
  std::vector<uint8_t> out(27 * kSector, 0xEE);
  uint32_t delivered = 0;
  ASSERT_EQ(drive->ReadAudio(30, 27, out.data(), &delivered), akrip::kErrNone);
  EXPECT_EQ(delivered, 27 * kSector);
  std::vector<uint8_t> expected = FileSectors(0, 30, 10);
  expected.resize(20 * kSector, 0);
  std::vector<uint8_t> tail = FileSectors(1, 0, 7);
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_TRUE(out == expected);

  ASSERT_EQ(drive->ReadAudio(79, 1, out.data(), &delivered), akrip::kErrNone);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + kSector, FileSectors(1, 29, 1).begin()));
}

TEST(VirtualDrive, RefusesPastTheLeadOutAndDataSectors) {
  Image image(
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nINDEX 00 00:00:20\nINDEX 01 00:00:25\nTRACK 03 MODE1/2352\nINDEX 01 00:00:40\n",
      {{"d.bin", 60}});
  akrip::DiscImage loaded;
  auto drive = Open(image, &loaded);
  ASSERT_TRUE(drive);
  std::vector<uint8_t> out(27 * kSector);
  uint32_t delivered = 99;
  EXPECT_EQ(drive->ReadAudio(15, 25, out.data(), &delivered), akrip::kErrNone) << "up to the data track";
  EXPECT_EQ(drive->ReadAudio(39, 2, out.data(), &delivered), akrip::kErrIllegalRequest);
  EXPECT_EQ(delivered, 0u);
  EXPECT_EQ(drive->ReadAudio(45, 1, out.data(), &delivered), akrip::kErrIllegalRequest);

  akrip::Toc toc;
  ASSERT_EQ(drive->ReadToc(&toc), akrip::kErrNone);
  EXPECT_EQ(toc.last_track, 3);
  EXPECT_EQ(toc.descriptors[1].address_be[3], 25);
  EXPECT_EQ(toc.descriptors[3].address_be[3], 60);
}

TEST(VirtualDrive, EnhancedCdRefusesTheSectorsBetweenItsSessions) {
  Image image(
      "FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "REM SESSION 02\nTRACK 02 MODE1/2352\nINDEX 01 00:00:50\n",
      {{"d.bin", 70}});
  akrip::DiscImage loaded;
  auto drive = Open(image, &loaded);
  ASSERT_TRUE(drive);
  std::vector<uint8_t> out(27 * kSector);
  uint32_t delivered = 0;
  ASSERT_EQ(drive->ReadAudio(23, 27, out.data(), &delivered), akrip::kErrNone) << "up to the first lead-out";
  EXPECT_TRUE(out == FileSectors(0, 23, 27));
  EXPECT_EQ(drive->ReadAudio(49, 2, out.data(), &delivered), akrip::kErrIllegalRequest);
  EXPECT_EQ(delivered, 0u);
  EXPECT_EQ(drive->ReadAudio(50 + cdda::kSessionGapSectors - 1, 1, out.data(), &delivered), akrip::kErrIllegalRequest);

  akrip::SessionList sessions;
  ASSERT_EQ(drive->ReadSessions(&sessions), akrip::kErrNone);
  ASSERT_EQ(sessions.count, 2);
  EXPECT_EQ(sessions.sessions[0].lead_out, 50u);
  EXPECT_EQ(sessions.sessions[1].lead_out, 70u + cdda::kSessionGapSectors);
}

TEST(VirtualDrive, ReadPastTheEndOfAnAudioDiscIsRefused) {
  Image image("FILE \"d.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", {{"d.bin", 30}});
  akrip::DiscImage loaded;
  auto drive = Open(image, &loaded);
  ASSERT_TRUE(drive);
  std::vector<uint8_t> out(27 * kSector);
  uint32_t delivered = 0;
  EXPECT_EQ(drive->ReadAudio(3, 27, out.data(), &delivered), akrip::kErrNone);
  EXPECT_EQ(drive->ReadAudio(4, 27, out.data(), &delivered), akrip::kErrIllegalRequest);
  EXPECT_EQ(drive->ReadAudio(0xFFFFFFF0u, 27, out.data(), &delivered), akrip::kErrIllegalRequest);
}

TEST(VirtualDrive, ImagesThatCannotBeUsedSayWhy) {
  akrip::DiscImage loaded;
  TempDir dir;
  akrip::ImageResult result = akrip::LoadDiscImage(dir.File("absent.cue"), &loaded);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, "the sheet cannot be read");

  testing_support::WriteWholeFile(dir.File("a.cue"), "FILE \"gone.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  result = akrip::LoadDiscImage(dir.File("a.cue"), &loaded);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason.rfind("line 1: image file cannot be opened: ", 0), 0u);

  testing_support::WriteWholeFile(dir.File("b.cue"), "FILE \"x.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:61:00\n");
  result = akrip::LoadDiscImage(dir.File("b.cue"), &loaded);
  EXPECT_EQ(result.reason, "line 3: bad time");
}

// 16-bit stereo 44,100 Hz WAVE bytes around some samples, with a chunk before
// the data so that its place has to be found.
std::vector<uint8_t> WaveFile(const uint8_t* samples, size_t bytes) {
  std::vector<uint8_t> file;
  auto put = [&file](uint32_t value, int width) {
    for (int i = 0; i < width; ++i) file.push_back(uint8_t(value >> (8 * i)));
  };
  auto tag = [&file](const char* text) { file.insert(file.end(), text, text + 4); };
  tag("RIFF");
  put(uint32_t(4 + 8 + 16 + 8 + 6 + 8 + bytes), 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(2, 2);
  put(44100, 4);
  put(44100 * 4, 4);
  put(4, 2);
  put(16, 2);
  tag("LIST");
  put(6, 4);
  file.insert(file.end(), {'I', 'N', 'F', 'O', 0, 0});
  tag("data");
  put(uint32_t(bytes), 4);
  file.insert(file.end(), samples, samples + bytes);
  return file;
}

// The same three tracks (track 2 and 3 with their INDEX 00 gaps at the end of
// the file before, as rippers write them) as one BIN file, one WAVE file per
// track and one big-endian raw file.
TEST(VirtualDrive, WaveAndMotorolaSheetsReadLikeTheBin) {
  TempDir dir;
  const std::vector<uint8_t> audio = FileSectors(0, 0, 300);
  testing_support::WriteWholeFile(dir.File("disc.bin"), audio.data(), audio.size());
  testing_support::WriteWholeFile(dir.File("bin.cue"),
                                  "FILE disc.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                  "TRACK 02 AUDIO\nINDEX 00 00:01:15\nINDEX 01 00:01:25\n"
                                  "TRACK 03 AUDIO\nINDEX 00 00:02:40\nINDEX 01 00:02:50\n");
  for (int track = 0; track < 3; ++track) {
    const uint8_t* first = audio.data() + size_t(track) * 100 * kSector;
    std::vector<uint8_t> wave = WaveFile(first, 100 * kSector);
    testing_support::WriteWholeFile(dir.File("0" + std::to_string(track + 1) + " Track.wav"), wave.data(), wave.size());
  }
  testing_support::WriteWholeFile(dir.File("wave.cue"),
                                  "FILE \"01 Track.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                  "TRACK 02 AUDIO\nINDEX 00 00:01:15\n"
                                  "FILE \"02 Track.wav\" WAVE\nINDEX 01 00:00:00\n"
                                  "TRACK 03 AUDIO\nINDEX 00 00:01:15\n"
                                  "FILE 03 Track.wav WAVE\nINDEX 01 00:00:00\n");
  std::vector<uint8_t> swapped = audio;
  for (size_t i = 0; i < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
  testing_support::WriteWholeFile(dir.File("disc.raw"), swapped.data(), swapped.size());
  testing_support::WriteWholeFile(dir.File("motorola.cue"),
                                  "FILE disc.raw MOTOROLA\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                  "TRACK 02 AUDIO\nINDEX 00 00:01:15\nINDEX 01 00:01:25\n"
                                  "TRACK 03 AUDIO\nINDEX 00 00:02:40\nINDEX 01 00:02:50\n");

  akrip::DiscImage bin_image, other_image;
  ASSERT_TRUE(akrip::LoadDiscImage(dir.File("bin.cue"), &bin_image).ok);
  akrip::LibError error = akrip::kErrNone;
  auto bin = akrip::VirtualDrive::Open(bin_image, &error);
  ASSERT_TRUE(bin);
  for (const char* sheet : {"wave.cue", "motorola.cue"}) {
    SCOPED_TRACE(sheet);
    akrip::ImageResult loaded = akrip::LoadDiscImage(dir.File(sheet), &other_image);
    ASSERT_TRUE(loaded.ok) << loaded.reason;
    auto other = akrip::VirtualDrive::Open(other_image, &error);
    ASSERT_TRUE(other);
    ExpectSameDisc(*bin, *other, 300);
  }
}

// A file the sheet names but cannot be played says which line and why.
TEST(VirtualDrive, UnplayableAudioFilesNameTheLine) {
  TempDir dir;
  std::vector<uint8_t> wave = WaveFile(FileSectors(0, 0, 10).data(), 10 * kSector);
  wave[34] = 24;  // bits per sample
  testing_support::WriteWholeFile(dir.File("deep.wav"), wave.data(), wave.size());
  testing_support::WriteWholeFile(dir.File("a.cue"), "REM x\nFILE deep.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  akrip::DiscImage loaded;
  akrip::ImageResult result = akrip::LoadDiscImage(dir.File("a.cue"), &loaded);
  EXPECT_EQ(result.reason,
            "line 2: " + dir.File("deep.wav") + ": WAVE file has 24-bit samples (only 16-bit is CD audio)");

  wave = WaveFile(FileSectors(0, 0, 10).data(), 10 * kSector);
  testing_support::WriteWholeFile(dir.File("short.wav"), wave.data(), wave.size());
  testing_support::WriteWholeFile(dir.File("b.cue"),
                                  "FILE short.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                  "TRACK 02 AUDIO\nINDEX 01 00:00:20\n");
  result = akrip::LoadDiscImage(dir.File("b.cue"), &loaded);
  EXPECT_EQ(result.reason, "line 4: index lies beyond the end of its file");
}

TEST(VirtualDrive, FileNamesResolveAgainstTheSheetsFolder) {
  EXPECT_EQ(akrip::ResolveImagePath("C:\\discs\\a.cue", "a.bin"), "C:\\discs\\a.bin");
  EXPECT_EQ(akrip::ResolveImagePath("/discs/a.cue", "sub/a.bin"), "/discs/sub/a.bin");
  EXPECT_EQ(akrip::ResolveImagePath("/discs/a.cue", "D:\\b.bin"), "D:\\b.bin");
  EXPECT_EQ(akrip::ResolveImagePath("a.cue", "a.bin"), "a.bin");
  EXPECT_EQ(akrip::BaseName("C:\\discs/demo disc.cue"), "demo disc.cue");
}

}  // namespace
