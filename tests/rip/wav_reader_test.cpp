// The WAV reader against a corpus (good/ files with the format and audio the
// reader must find, bad/ files named after the rule they break with the
// complaint expected; tests/rip/wavs/make_corpus.py writes both), and its
// streaming of long data chunks.
#include "rip/wav_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "cd/wav_writer.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

const char* ProblemName(WavProblem problem) {
  switch (problem) {
    case WavProblem::kNone:
      return "none";
    case WavProblem::kUnreadable:
      return "unreadable";
    case WavProblem::kTruncated:
      return "truncated";
    case WavProblem::kMalformed:
      return "malformed";
    case WavProblem::kUnsupported:
      return "unsupported";
    case WavProblem::kNoAudio:
      return "no audio";
  }
  return "?";
}

std::string Hex(const std::vector<unsigned char>& bytes) {
  std::string text;
  char digits[3];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    text += digits;
  }
  return text;
}

// Everything the stream hands out, in reads of `capacity` bytes.
std::vector<unsigned char> StreamAll(WavStream& stream, size_t capacity) {
  std::vector<unsigned char> all;
  std::vector<unsigned char> piece(capacity);
  while (size_t got = stream.Read(piece.data(), piece.size())) {
    EXPECT_EQ(got % 4, 0u);
    all.insert(all.end(), piece.begin(), piece.begin() + long(got));
  }
  return all;
}

std::string Describe(const std::string& path) {
  WavFileSource source(path.c_str());
  if (!source.IsOpen()) return "cannot open";
  WavStream stream;
  const WavCheck check = stream.Open(source);
  if (!check.ok()) return std::string("error ") + ProblemName(check.problem) + ": " + check.reason + "\n";
  const WavFormat& f = stream.layout().format;
  char line[200];
  std::snprintf(line, sizeof line, "format %u %u %u %u %u %u\nframes %u\n", f.format_tag, f.channels,
                unsigned(f.sample_rate), unsigned(f.byte_rate), f.block_align, f.bits_per_sample,
                unsigned(stream.FrameCount()));
  const std::vector<unsigned char> audio = StreamAll(stream, 4096);
  EXPECT_FALSE(stream.failed());
  return line + ("audio " + Hex(audio) + "\n");
}

void CheckCorpus(const char* folder) {
  int cases = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(RIP_WAV_CORPUS_DIR) / folder)) {
    if (entry.path().extension() != ".wav") continue;
    ++cases;
    SCOPED_TRACE(entry.path().filename().string());
    fs::path expected_path = entry.path();
    expected_path.replace_extension(".expected");
    const std::vector<unsigned char> expected = ReadWholeFile(expected_path.string());
    EXPECT_EQ(std::string(expected.begin(), expected.end()), Describe(entry.path().string()));
  }
  EXPECT_GT(cases, 5);
}

TEST(WavReaderCorpus, GoodFiles) { CheckCorpus("good"); }
TEST(WavReaderCorpus, BadFiles) { CheckCorpus("bad"); }

TEST(WavReader, MissingFileCannotBeOpened) {
  TempDir dir;
  WavFileSource source(dir.File("missing.wav").c_str());
  EXPECT_FALSE(source.IsOpen());
  WavFileSource no_path(nullptr);
  EXPECT_FALSE(no_path.IsOpen());
}

// A long data chunk behind a LIST chunk comes out whole and in order in
// pieces of any size, and nothing of the chunk after it.
TEST(WavReader, StreamsALongChunkInPiecesOfAnySize) {
  std::mt19937 random(11);
  std::vector<unsigned char> pcm(4 * 100003);
  for (unsigned char& byte : pcm) byte = static_cast<unsigned char>(random());
  uint8_t header[kWavHeaderBytes];
  BuildWavHeader(uint32_t(pcm.size()), header);
  const unsigned char list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  std::vector<unsigned char> file(header, header + 36);
  file.insert(file.end(), list, list + sizeof list);
  file.insert(file.end(), header + 36, header + 44);
  file.insert(file.end(), pcm.begin(), pcm.end());
  const unsigned char tail[] = {'j', 'u', 'n', 'k', 4, 0, 0, 0, 9, 9, 9, 9};
  file.insert(file.end(), tail, tail + sizeof tail);
  const uint32_t riff_size = uint32_t(file.size() - 8);
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<unsigned char>(riff_size >> (8 * i));

  TempDir dir;
  WriteWholeFile(dir.File("long.wav"), file.data(), file.size());
  for (size_t capacity : {4u, 4096u, 4099u, 65536u}) {
    SCOPED_TRACE(capacity);
    WavFileSource source(dir.File("long.wav").c_str());
    WavStream stream;
    ASSERT_TRUE(stream.Open(source).ok());
    EXPECT_EQ(stream.FrameCount(), 100003u);
    EXPECT_EQ(StreamAll(stream, capacity), pcm);
    EXPECT_FALSE(stream.failed());
  }
}

// A file whose reads end early (a read error, or a file cut while it is
// read) fails the stream instead of passing for the end of the audio.
TEST(WavReader, ReadFallingShortOfTheChunkFailsTheStream) {
  class FailingSource : public WavMemorySource {
   public:
    FailingSource(const void* bytes, size_t size, size_t readable)
        : WavMemorySource(bytes, size), readable_(readable) {}
    size_t Read(void* buffer, size_t count) override {
      const size_t got = WavMemorySource::Read(buffer, count < readable_ ? count : readable_);
      readable_ -= got;
      return got;
    }

   private:
    size_t readable_;
  };
  std::vector<unsigned char> file(kWavHeaderBytes + 40000, 0x5a);
  BuildWavHeader(40000, file.data());
  FailingSource source(file.data(), file.size(), kWavHeaderBytes + 4096 + 100);
  WavStream stream;
  ASSERT_TRUE(stream.Open(source).ok());
  unsigned char piece[4096];
  EXPECT_EQ(stream.Read(piece, sizeof piece), 4096u);
  EXPECT_EQ(stream.Read(piece, sizeof piece), 0u);
  EXPECT_TRUE(stream.failed());
  EXPECT_EQ(stream.Read(piece, sizeof piece), 0u);
}

}  // namespace
