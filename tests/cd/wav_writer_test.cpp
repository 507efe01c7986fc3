#include "cd/wav_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/temp_dir.h"

namespace {

using testing_support::ReadWholeFile;
using testing_support::TempDir;

uint32_t Le32(const std::vector<unsigned char>& bytes, size_t at) {
  return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
         uint32_t(bytes[at + 3]) << 24;
}

uint16_t Le16(const std::vector<unsigned char>& bytes, size_t at) { return uint16_t(bytes[at] | bytes[at + 1] << 8); }

TEST(WavWriter, HeaderDescribesCdAudioAndTheDataWritten) {
  TempDir dir;
  const std::string path = dir.File("one.wav");
  WavWriter* writer = CreateWavFile(path.c_str());
  ASSERT_NE(writer, nullptr);
  std::vector<unsigned char> sector(2352);
  for (size_t i = 0; i < sector.size(); ++i) sector[i] = static_cast<unsigned char>(i * 7);
  ASSERT_EQ(WriteWavData(writer, sector.data(), uint32_t(sector.size())), 1);
  ASSERT_EQ(FinishWavFile(writer), 1);

  const auto bytes = ReadWholeFile(path);
  ASSERT_EQ(bytes.size(), 44u + 2352u);
  EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
  EXPECT_EQ(Le32(bytes, 4), 2388u);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(Le32(bytes, 16), 16u);
  EXPECT_EQ(Le16(bytes, 20), 1);
  EXPECT_EQ(Le16(bytes, 22), 2);
  EXPECT_EQ(Le32(bytes, 24), 44100u);
  EXPECT_EQ(Le32(bytes, 28), 176400u);
  EXPECT_EQ(Le16(bytes, 32), 4);
  EXPECT_EQ(Le16(bytes, 34), 16);
  EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
  EXPECT_EQ(Le32(bytes, 40), 2352u);
  EXPECT_TRUE(std::equal(sector.begin(), sector.end(), bytes.begin() + 44));
}

TEST(WavWriter, EmptyFileIsAValidHeaderOnly) {
  TempDir dir;
  const std::string path = dir.File("empty.wav");
  ASSERT_EQ(FinishWavFile(CreateWavFile(path.c_str())), 1);
  const auto bytes = ReadWholeFile(path);
  ASSERT_EQ(bytes.size(), 44u);
  EXPECT_EQ(Le32(bytes, 4), 36u);
  EXPECT_EQ(Le32(bytes, 40), 0u);
}

TEST(WavWriter, ExistingFileIsTruncated) {
  TempDir dir;
  const std::string path = dir.File("old.wav");
  testing_support::WriteWholeFile(path, std::string(5000, 'x'));
  ASSERT_EQ(FinishWavFile(CreateWavFile(path.c_str())), 1);
  EXPECT_EQ(ReadWholeFile(path).size(), 44u);
}

TEST(WavWriter, RefusesClosedOrForeignWriters) {
  WavWriter fake{};
  const char data[4] = {1, 2, 3, 4};
  EXPECT_EQ(WriteWavData(&fake, data, 4), 0);
  EXPECT_EQ(WriteWavData(nullptr, data, 4), 0);
  EXPECT_EQ(FinishWavFile(&fake), 0);
  EXPECT_EQ(FinishWavFile(nullptr), 0);
}

TEST(WavWriter, UncreatableFileGivesNoWriter) {
  TempDir dir;
  EXPECT_EQ(CreateWavFile(dir.File("missing-folder/x.wav").c_str()), nullptr);
  EXPECT_EQ(CreateWavFile(nullptr), nullptr);
}

}  // namespace
