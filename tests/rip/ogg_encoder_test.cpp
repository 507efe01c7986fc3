// The Ogg Vorbis encoder, checked by decoding what it wrote with libvorbisfile
// and walking its pages with libogg.
#include "rip/ogg_encoder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "cd/wav_writer.h"
#include "ogg_decode.h"
#include "support/temp_dir.h"

namespace {

using rip_tests::DecodedOgg;
using rip_tests::DecodeOgg;
using rip_tests::OggPages;
using rip_tests::ReadOggPages;
using rip_tests::SnrDb;
using rip_tests::TestSignal;
using rip_tests::WriteStereoWav;
using testing_support::FileExists;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

class OggEncoder : public testing::Test {
 protected:
  std::string Wav() const { return dir_.File("track.wav"); }
  std::string Ogg() const { return dir_.File("track.ogg"); }

  // Encodes `frames` of the test signal and checks the file from its pages to
  // its decoded samples.
  void EncodeAndCheck(int64_t frames) {
    SCOPED_TRACE(frames);
    const std::vector<int16_t> input = TestSignal(frames, unsigned(frames));
    WriteStereoWav(Wav(), input);
    ASSERT_EQ(EncodeOggFile(Wav().c_str(), Ogg().c_str(), nullptr), EncodeResult::kDone);

    const OggPages pages = ReadOggPages(Ogg());
    EXPECT_EQ(pages.error, "");
    EXPECT_EQ(pages.serials, 1);
    EXPECT_EQ(pages.header_packet_types, (std::vector<int>{1, 3, 5}));
    EXPECT_TRUE(pages.audio_starts_on_a_fresh_page);
    EXPECT_EQ(pages.end_of_stream_pages, 1);
    EXPECT_TRUE(pages.last_page_ends_stream);
    EXPECT_EQ(pages.last_granule, frames);

    const DecodedOgg decoded = DecodeOgg(Ogg());
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.rate, 44100);
    EXPECT_EQ(decoded.declared_frames, frames);
    EXPECT_EQ(decoded.frames(), frames);
    EXPECT_EQ(decoded.comments, (std::vector<std::string>{"ENCODER=encoder_example"}));
    EXPECT_NE(decoded.vendor.find("Xiph.Org libVorbis"), std::string::npos) << decoded.vendor;
    // Too short a signal says little about the sound; longer ones must keep it.
    if (frames >= 588) {
      EXPECT_GT(SnrDb(input, decoded.samples), 20.0);
    }
  }

  TempDir dir_;
};

TEST_F(OggEncoder, ShortTracksDecodeToTheirExactLengthAndSignal) {
  for (int64_t frames : {1, 588, 1023, 1024, 1025, 44100 + 68}) EncodeAndCheck(frames);
}

TEST_F(OggEncoder, SeveralMinutesDecodeToTheirExactLengthAndSignal) { EncodeAndCheck(int64_t(3) * 60 * 44100 + 587); }

// Tags follow the ENCODER comment, which stays first.
TEST_F(OggEncoder, TagsFollowTheEncoderComment) {
  WriteStereoWav(Wav(), TestSignal(44100, 3));
  ASSERT_EQ(EncodeOggFile(Wav().c_str(), Ogg().c_str(), nullptr, rip_tests::SampleTags()), EncodeResult::kDone);
  const DecodedOgg decoded = DecodeOgg(Ogg());
  ASSERT_EQ(decoded.error, "");
  std::vector<std::string> expected{"ENCODER=encoder_example"};
  for (const std::string& line : rip_tests::SampleTagLines()) expected.push_back(line);
  EXPECT_EQ(decoded.comments, expected);
  EXPECT_EQ(decoded.frames(), 44100);
}

TEST_F(OggEncoder, ReplacesAnExistingOutput) {
  WriteWholeFile(Ogg(), std::string(300000, 'x'));
  WriteStereoWav(Wav(), TestSignal(5000, 1));
  ASSERT_EQ(EncodeOggFile(Wav().c_str(), Ogg().c_str(), nullptr), EncodeResult::kDone);
  EXPECT_EQ(DecodeOgg(Ogg()).frames(), 5000);
  EXPECT_TRUE(FileExists(Wav()));
}

// A WAV that cannot be read, or holds nothing to encode, is a failure and
// leaves no output: before, such a WAV gave a file of headers only that
// passed for a finished track.
TEST_F(OggEncoder, UnusableWavFailsWithoutAnOutput) {
  std::vector<unsigned char> header(kWavHeaderBytes);
  BuildWavHeader(0, header.data());
  const std::string empty(header.begin(), header.end());
  BuildWavHeader(400000, header.data());
  const std::string cut = std::string(header.begin(), header.end()) + std::string(4000, '\1');
  std::string mono = std::string(header.begin(), header.end()) + std::string(400000, '\1');
  mono[22] = 1;
  const struct {
    const char* name;
    std::string bytes;
    EncodeResult expected;
  } cases[] = {
      {"no audio", empty, EncodeResult::kFailed},
      {"data chunk cut short", cut, EncodeResult::kWavUnreadable},
      {"mono", mono, EncodeResult::kFailed},
      {"not a WAV", "plain text, long enough for a RIFF header", EncodeResult::kFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteWholeFile(Wav(), c.bytes);
    EXPECT_EQ(EncodeOggFile(Wav().c_str(), Ogg().c_str(), nullptr), c.expected);
    EXPECT_FALSE(FileExists(Ogg()));
  }
  EXPECT_EQ(EncodeOggFile(dir_.File("missing.wav").c_str(), Ogg().c_str(), nullptr), EncodeResult::kWavUnreadable);
  EXPECT_FALSE(FileExists(Ogg()));
}

TEST_F(OggEncoder, WavHeldOpenExclusivelyIsUnreadable) {
  WriteStereoWav(Wav(), TestSignal(5000, 2));
  HANDLE held = CreateFileA(Wav().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(EncodeOggFile(Wav().c_str(), Ogg().c_str(), nullptr), EncodeResult::kWavUnreadable);
  CloseHandle(held);
  EXPECT_FALSE(FileExists(Ogg()));
}

TEST_F(OggEncoder, OutputThatCannotBeCreatedIsUnwritable) {
  WriteStereoWav(Wav(), TestSignal(5000, 3));
  EXPECT_EQ(EncodeOggFile(Wav().c_str(), dir_.File("no such folder\\x.ogg").c_str(), nullptr),
            EncodeResult::kOutputUnwritable);
  ASSERT_TRUE(CreateDirectoryA(Ogg().c_str(), nullptr));
  EXPECT_EQ(EncodeOggFile(Wav().c_str(), Ogg().c_str(), nullptr), EncodeResult::kOutputUnwritable);
  EXPECT_TRUE(FileExists(Wav()));
}

TEST_F(OggEncoder, StopBeforeTheFirstBlockWritesNothing) {
  WriteStereoWav(Wav(), TestSignal(5000, 4));
  const std::atomic<bool> stop{true};
  EXPECT_EQ(EncodeOggFile(Wav().c_str(), Ogg().c_str(), &stop), EncodeResult::kStopped);
  EXPECT_FALSE(FileExists(Ogg()));
}

// The stop request arrives from another thread once audio pages are on disk;
// the encode ends there and takes its partial file with it.
TEST_F(OggEncoder, StopMidEncodeDeletesThePartialFile) {
  const int64_t frames = int64_t(2) * 60 * 44100;
  WriteStereoWav(Wav(), TestSignal(frames, 5));
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  std::atomic<bool> stopped_mid_way{false};
  std::thread watcher([&] {
    const int64_t partial_bytes = 100000;  // well past the headers, well short of the whole
    while (!finished) {
      WIN32_FILE_ATTRIBUTE_DATA data;
      if (GetFileAttributesExA(Ogg().c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > partial_bytes) {
        stop = true;
        stopped_mid_way = true;
        return;
      }
      Sleep(1);
    }
  });
  const EncodeResult result = EncodeOggFile(Wav().c_str(), Ogg().c_str(), &stop);
  finished = true;
  watcher.join();
  ASSERT_TRUE(stopped_mid_way) << "the encode ended before the stop request";
  EXPECT_EQ(result, EncodeResult::kStopped);
  EXPECT_FALSE(FileExists(Ogg()));
  EXPECT_TRUE(FileExists(Wav()));
}

}  // namespace
