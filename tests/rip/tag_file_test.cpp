// Tags through TagLib: the Edit Tag texts read and written in every layout,
// the rip's tags in an MP3 (checked byte by byte, not through TagLib) and a
// WMA file, and a save that never spoils the file it could not finish.
#include "rip/tag_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/win_owners.h"
#include "ogg_decode.h"
#include "rip/flac_encoder.h"
#include "rip/ogg_encoder.h"
#include "rip/opus_encoder.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FolderNames;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;
using Bytes = std::vector<unsigned char>;

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, no padding: 417-byte frames.
constexpr unsigned char kMpegFrameHeader[] = {0xFF, 0xFB, 0x90, 0x00};
constexpr size_t kMpegFrameBytes = 417;
constexpr size_t kMpegFrames = 40;

Bytes MpegFrames() {
  Bytes frames;
  for (size_t i = 0; i < kMpegFrames; ++i) {
    frames.insert(frames.end(), std::begin(kMpegFrameHeader), std::end(kMpegFrameHeader));
    frames.resize(frames.size() + kMpegFrameBytes - sizeof kMpegFrameHeader, static_cast<unsigned char>(i));
  }
  return frames;
}

void WriteMp3(const std::string& path) {
  const Bytes frames = MpegFrames();
  WriteWholeFile(path, frames.data(), frames.size());
}

// The smallest ASF header TagLib takes for a file: the header object with
// file and stream properties (2 channels at 44.1 kHz), then a data object.
void AppendGuid(Bytes* out, const char* guid) { out->insert(out->end(), guid, guid + 16); }
void AppendLittle(Bytes* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<unsigned char>(value >> (8 * i)));
}
void WriteWma(const std::string& path) {
  Bytes file;
  AppendGuid(&file, "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C");
  AppendLittle(&file, 30 + 104 + 102, 8);
  AppendLittle(&file, 2, 4);
  file.push_back(1);
  file.push_back(2);
  AppendGuid(&file, "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65");
  AppendLittle(&file, 24 + 80, 8);
  file.resize(file.size() + 80, 0);
  AppendGuid(&file, "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65");
  AppendLittle(&file, 24 + 78, 8);
  Bytes stream(78, 0);
  stream[54] = 0x61;  // codec 0x161, WMA 9
  stream[55] = 0x01;
  stream[56] = 2;
  stream[58] = 0x44;  // 44100 Hz
  stream[59] = 0xAC;
  stream[68] = 16;
  file.insert(file.end(), stream.begin(), stream.end());
  AppendGuid(&file, "\x36\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C");
  AppendLittle(&file, 50 + 256, 8);
  file.resize(file.size() + 34 + 256, 0x5A);
  WriteWholeFile(path, file.data(), file.size());
}

std::string WriteWavOfQuarterSecond(const TempDir& dir) {
  const std::string wav = dir.File("source.wav");
  rip_tests::WriteStereoWav(wav, rip_tests::TestSignal(11025, 7));
  return wav;
}

// Each layout as the program's own encoders write it.
std::string MakeAudioFile(const TempDir& dir, const std::string& extension) {
  const std::string path = dir.File("track" + extension);
  if (extension == ".mp3" || extension == ".MP3") {
    WriteMp3(path);
  } else if (extension == ".wma") {
    WriteWma(path);
  } else {
    const std::string wav = WriteWavOfQuarterSecond(dir);
    const TagFields tags = {{"TITLE", "Old"}, {"ARTIST", "Old Players"}};
    EncodeResult result = EncodeResult::kFailed;
    if (extension == ".flac") result = EncodeFlacFile(wav.c_str(), path.c_str(), 5, nullptr, tags);
    if (extension == ".ogg") result = EncodeOggFile(wav.c_str(), path.c_str(), nullptr, tags);
    if (extension == ".opus") result = EncodeOpusFile(wav.c_str(), path.c_str(), 96, nullptr, tags);
    EXPECT_EQ(result, EncodeResult::kDone) << extension;
    DeleteFileA(wav.c_str());
  }
  return path;
}

TEST(EditableTags, EveryLayoutTakesTheEditedTextsAndKeepsTheOthers) {
  for (const char* extension : {".mp3", ".flac", ".ogg", ".opus", ".wma", ".MP3"}) {
    SCOPED_TRACE(extension);
    TempDir dir;
    const std::string path = MakeAudioFile(dir, extension);
    EditableTags before;
    ASSERT_EQ(ReadEditableTags(path.c_str(), &before), TagFileResult::kDone);
    EditableTags after = before;
    after.title = "Caf\xe9 at dawn";  // Windows-1252, as the dialog hands it over
    after.album = "Demo Album";
    after.year = "1998";
    ASSERT_EQ(SaveEditedTags(path.c_str(), before, after), TagFileResult::kDone);
    EditableTags read;
    ASSERT_EQ(ReadEditableTags(path.c_str(), &read), TagFileResult::kDone);
    EXPECT_EQ(read.title, after.title);
    EXPECT_EQ(read.album, "Demo Album");
    EXPECT_EQ(read.year, "1998");
    EXPECT_EQ(read.artist, before.artist);
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"track" + std::string(extension)});
  }
}

TEST(EditableTags, AnEmptyTextOrYearRemovesIt) {
  TempDir dir;
  const std::string path = MakeAudioFile(dir, ".flac");
  EditableTags before;
  ASSERT_EQ(ReadEditableTags(path.c_str(), &before), TagFileResult::kDone);
  ASSERT_EQ(before.title, "Old");
  EditableTags after = before;
  after.year = "2001";
  ASSERT_EQ(SaveEditedTags(path.c_str(), before, after), TagFileResult::kDone);
  before = after;
  after.title.clear();
  after.year = "  ";
  ASSERT_EQ(SaveEditedTags(path.c_str(), before, after), TagFileResult::kDone);
  EditableTags read;
  ASSERT_EQ(ReadEditableTags(path.c_str(), &read), TagFileResult::kDone);
  EXPECT_EQ(read.title, "");
  EXPECT_EQ(read.year, "");
  EXPECT_EQ(read.artist, "Old Players");
}

// What stands in the way of a save, made by the test before it saves; the
// handle it may open stays open during the save.
struct Obstacle {
  const char* what;
  void (*make)(const std::string& path, FileHandle* held);
  TagFileResult expected;
};

TEST(SaveEditedTags, AFileThatCannotTakeTheTagsIsLeftAsItWasWithNothingBeside) {
  const Obstacle obstacles[] = {
      {"nothing: the save goes through", [](const std::string&, FileHandle*) {}, TagFileResult::kDone},
      {"read-only",
       [](const std::string& path, FileHandle*) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); },
       TagFileResult::kReadOnly},
      {"text under an audio name", [](const std::string& path, FileHandle*) { WriteWholeFile(path, "not audio\r\n"); },
       TagFileResult::kNotAudio},
      {"written by another program",
       [](const std::string& path, FileHandle* held) {
         held->reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
       },
       TagFileResult::kInUse},
      {"played by another program that lets others write but not replace it",
       [](const std::string& path, FileHandle* held) {
         held->reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr));
       },
       TagFileResult::kInUse},
  };
  for (const Obstacle& obstacle : obstacles) {
    SCOPED_TRACE(obstacle.what);
    TempDir dir;
    const std::string path = MakeAudioFile(dir, ".mp3");
    FileHandle held;
    obstacle.make(path, &held);
    const Bytes original = ReadWholeFile(path);
    EditableTags before;
    EditableTags after;
    after.title = "New title";
    EXPECT_EQ(SaveEditedTags(path.c_str(), before, after), obstacle.expected);
    held.reset();
    if (obstacle.expected != TagFileResult::kDone) {
      EXPECT_EQ(ReadWholeFile(path), original);
    }
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"track.mp3"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST(SaveEditedTags, NoFileNoAudioNameAndABadYearChangeNothing) {
  TempDir dir;
  const std::string mp3 = MakeAudioFile(dir, ".mp3");
  const Bytes original = ReadWholeFile(mp3);
  EditableTags before;
  EditableTags bad_year;
  bad_year.year = "10000";
  EXPECT_EQ(SaveEditedTags(mp3.c_str(), before, bad_year), TagFileResult::kFailed);
  EXPECT_EQ(ReadWholeFile(mp3), original);
  EditableTags titled;
  titled.title = "x";
  EXPECT_EQ(SaveEditedTags(dir.File("gone.mp3").c_str(), before, titled), TagFileResult::kNotAudio);
  WriteWholeFile(dir.File("track.wav"), "RIFF");
  EXPECT_EQ(SaveEditedTags(dir.File("track.wav").c_str(), before, titled), TagFileResult::kNotAudio);
  EditableTags read;
  EXPECT_EQ(ReadEditableTags(dir.File("track.wav").c_str(), &read), TagFileResult::kNotAudio);
  EXPECT_EQ(ReadEditableTags(dir.File("gone.mp3").c_str(), &read), TagFileResult::kNotAudio);
  FileHandle held(CreateFileA(mp3.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  EXPECT_EQ(ReadEditableTags(mp3.c_str(), &read), TagFileResult::kInUse);
}

// The frames of an ID3v2.3 tag at the start of `file`, by id; TXXX frames
// under "TXXX:" and their description.  Texts as their bytes after the
// encoding byte.
std::map<std::string, Bytes> Id3v23Frames(const Bytes& file) {
  std::map<std::string, Bytes> frames;
  if (file.size() < 10 || std::memcmp(file.data(), "ID3\x03", 4) != 0) return frames;
  const size_t tag_end = 10 + ((size_t(file[6]) << 21) | (size_t(file[7]) << 14) | (size_t(file[8]) << 7) | file[9]);
  size_t at = 10;
  while (at + 10 <= tag_end && at + 10 <= file.size() && file[at] != 0) {
    const std::string id(reinterpret_cast<const char*>(&file[at]), 4);
    const size_t size =
        (size_t(file[at + 4]) << 24) | (size_t(file[at + 5]) << 16) | (size_t(file[at + 6]) << 8) | file[at + 7];
    if (at + 10 + size > file.size()) break;
    Bytes body(file.begin() + long(at) + 10, file.begin() + long(at + 10 + size));
    std::string key = id;
    if (id == "TXXX" && !body.empty()) {
      const auto end = std::find(body.begin() + 1, body.end(), 0);
      key += ":" + std::string(body.begin() + 1, end);
    }
    frames[key] = body;
    at += 10 + size;
  }
  return frames;
}

Bytes Latin1Frame(const std::string& text) {
  Bytes body(text.size() + 1, 0);  // encoding 0: Latin-1
  std::copy(text.begin(), text.end(), body.begin() + 1);
  return body;
}

TEST(WriteRipTags, AnMp3GetsId3v23FramesAndAnId3v1CopyItsAudioUntouched) {
  TempDir dir;
  const std::string path = MakeAudioFile(dir, ".mp3");
  TagFields fields = rip_tests::SampleTags();  // a title beyond Latin-1's ASCII half, no album
  fields.push_back({"ALBUM", "Demo Album"});
  fields.push_back({"TRACKTOTAL", "5"});
  fields.push_back({"DATE", "2024"});
  fields.push_back({"GENRE", "Demo Music"});
  ASSERT_EQ(WriteRipTags(path.c_str(), fields), TagFileResult::kDone);

  const Bytes file = ReadWholeFile(path);
  const std::map<std::string, Bytes> frames = Id3v23Frames(file);
  ASSERT_FALSE(frames.empty()) << "no ID3v2.3 tag at the start";
  EXPECT_EQ(frames.at("TPE1"), Latin1Frame("Corvale Players"));
  EXPECT_EQ(frames.at("TALB"), Latin1Frame("Demo Album"));
  EXPECT_EQ(frames.at("TRCK"), Latin1Frame("2/5"));
  EXPECT_EQ(frames.at("TYER"), Latin1Frame("2024"));
  EXPECT_EQ(frames.at("TCON"), Latin1Frame("Demo Music"));
  EXPECT_EQ(frames.count("TDRC"), 0u) << "ID3v2.4's date frame in a v2.3 tag";
  const Bytes cddb = frames.at("TXXX:CDDB");
  EXPECT_EQ(std::string(cddb.end() - 8, cddb.end()), "3a05d704");
  // "Café = open" is Latin-1, written as such (encoding 0).
  EXPECT_EQ(frames.at("TIT2"), Latin1Frame("Caf\xe9 = open"));

  ASSERT_GE(file.size(), 128u);
  const std::string v1(file.end() - 128, file.end());
  EXPECT_EQ(v1.substr(0, 3), "TAG");
  EXPECT_EQ(v1.substr(3, 11), std::string("Caf\xe9 = open"));

  const Bytes frames_written = MpegFrames();
  EXPECT_NE(std::search(file.begin(), file.end(), frames_written.begin(), frames_written.end()), file.end());
}

TEST(WriteRipTags, AWmaFileGetsItsAttributesAndOtherFilesNone) {
  TempDir dir;
  const std::string path = MakeAudioFile(dir, ".wma");
  ASSERT_EQ(WriteRipTags(path.c_str(), {{"TITLE", "Rising"},
                                        {"ARTIST", "Corvale Players"},
                                        {"ALBUM", "Demo Album"},
                                        {"TRACKNUMBER", "2"},
                                        {"DATE", "1998"},
                                        {"GENRE", "Rock"}}),
            TagFileResult::kDone);
  EditableTags read;
  ASSERT_EQ(ReadEditableTags(path.c_str(), &read), TagFileResult::kDone);
  EXPECT_EQ(read.title, "Rising");
  EXPECT_EQ(read.artist, "Corvale Players");
  EXPECT_EQ(read.album, "Demo Album");
  EXPECT_EQ(read.year, "1998");
  const Bytes file = ReadWholeFile(path);
  for (const char* name : {"WM/AlbumTitle", "WM/TrackNumber", "WM/Year", "WM/Genre"}) {
    Bytes utf16;
    for (const char* c = name; *c; ++c) {
      utf16.push_back(static_cast<unsigned char>(*c));
      utf16.push_back(0);
    }
    EXPECT_NE(std::search(file.begin(), file.end(), utf16.begin(), utf16.end()), file.end()) << name;
  }
  WriteWholeFile(dir.File("a.ogg"), "OggS");
  EXPECT_EQ(WriteRipTags(dir.File("a.ogg").c_str(), {{"TITLE", "x"}}), TagFileResult::kNotAudio);
}

}  // namespace
