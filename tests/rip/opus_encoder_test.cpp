// The Opus encoder, checked by decoding its pages with libogg and libopus:
// the header packets, the pre-skip and the last granule give back the
// track's duration to the sample at 48 kHz; failures leave nothing behind.
#include "rip/opus_encoder.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <ogg/ogg.h>
#include <opus/opus.h>

#include <string>
#include <vector>

#include "ogg_decode.h"
#include "support/temp_dir.h"

namespace {

using rip_tests::TestSignal;
using rip_tests::WriteStereoWav;
using testing_support::FileExists;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

struct DecodedOpus {
  std::string error;
  int channels = 0;
  uint32_t input_rate = 0;
  int64_t frames = 0;  // at 48 kHz, after the pre-skip and the end trimming
  std::vector<std::string> comments;
};

DecodedOpus DecodeOpus(const std::string& path) {
  DecodedOpus decoded;
  const std::vector<unsigned char> bytes = ReadWholeFile(path);
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* buffer = ogg_sync_buffer(&sync, long(bytes.size()));
  memcpy(buffer, bytes.data(), bytes.size());
  ogg_sync_wrote(&sync, long(bytes.size()));
  ogg_stream_state stream;
  bool stream_ready = false;
  OpusDecoder* decoder = nullptr;
  int packets = 0;
  int pre_skip = 0;
  int64_t decoded_frames = 0;
  int64_t last_granule = -1;
  std::vector<opus_int16> pcm(5760 * 2);
  ogg_page page;
  while (decoded.error.empty() && ogg_sync_pageout(&sync, &page) == 1) {
    if (!stream_ready) {
      ogg_stream_init(&stream, ogg_page_serialno(&page));
      stream_ready = true;
    }
    ogg_stream_pagein(&stream, &page);
    if (ogg_page_granulepos(&page) >= 0) last_granule = ogg_page_granulepos(&page);
    ogg_packet packet;
    while (decoded.error.empty() && ogg_stream_packetout(&stream, &packet) == 1) {
      ++packets;
      if (packets == 1) {
        if (packet.bytes < 19 || memcmp(packet.packet, "OpusHead", 8) != 0) decoded.error = "no OpusHead";
        decoded.channels = packet.packet[9];
        pre_skip = packet.packet[10] | packet.packet[11] << 8;
        decoded.input_rate = uint32_t(packet.packet[12] | packet.packet[13] << 8 | packet.packet[14] << 16 |
                                      uint32_t(packet.packet[15]) << 24);
        int error = 0;
        decoder = opus_decoder_create(48000, decoded.channels, &error);
      } else if (packets == 2) {
        if (packet.bytes < 8 || memcmp(packet.packet, "OpusTags", 8) != 0) decoded.error = "no OpusTags";
        if (decoded.error.empty()) decoded.comments = rip_tests::CommentPacketFields(packet.packet, packet.bytes, 8);
      } else {
        const int got = opus_decode(decoder, packet.packet, opus_int32(packet.bytes), pcm.data(), 5760, 0);
        if (got < 0) decoded.error = "packet does not decode";
        decoded_frames += got;
      }
    }
  }
  if (decoder) opus_decoder_destroy(decoder);
  if (stream_ready) ogg_stream_clear(&stream);
  ogg_sync_clear(&sync);
  if (decoded.error.empty() && last_granule < 0) decoded.error = "no granule";
  // The last page's granule says where the audio ends, inside its last packet.
  if (decoded_frames < last_granule) decoded.error = "fewer samples than the granule says";
  decoded.frames = last_granule - pre_skip;
  return decoded;
}

class OpusEncoder : public testing::Test {
 protected:
  std::string Wav() const { return dir_.File("track.wav"); }
  std::string Opus() const { return dir_.File("track.opus"); }
  TempDir dir_;
};

TEST_F(OpusEncoder, DecodesToTheTracksDurationAt48kHz) {
  for (int64_t frames : {int64_t(1), int64_t(588), int64_t(44100) * 75 + 13}) {
    SCOPED_TRACE(frames);
    WriteStereoWav(Wav(), TestSignal(frames, unsigned(frames)));
    WriteWholeFile(Opus(), std::string(1000, 'x'));  // an earlier file is replaced
    ASSERT_EQ(EncodeOpusFile(Wav().c_str(), Opus().c_str(), kOpusDefaultBitrate, nullptr), EncodeResult::kDone);
    const DecodedOpus decoded = DecodeOpus(Opus());
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.input_rate, 44100u);
    EXPECT_EQ(decoded.frames, (frames * 48000 + 44099) / 44100);
  }
}

// The tags follow the encoder's own ENCODER comment in OpusTags.
TEST_F(OpusEncoder, TagsAreReadBackFromOpusTags) {
  WriteStereoWav(Wav(), TestSignal(44100, 3));
  ASSERT_EQ(EncodeOpusFile(Wav().c_str(), Opus().c_str(), kOpusDefaultBitrate, nullptr, rip_tests::SampleTags()),
            EncodeResult::kDone);
  DecodedOpus decoded = DecodeOpus(Opus());
  ASSERT_EQ(decoded.error, "");
  EXPECT_EQ(decoded.frames, 48000);
  std::vector<std::string> tags;
  for (const std::string& comment : decoded.comments) {
    if (comment.compare(0, 8, "ENCODER=") != 0) tags.push_back(comment);
  }
  EXPECT_EQ(tags, rip_tests::SampleTagLines());
  ASSERT_EQ(EncodeOpusFile(Wav().c_str(), Opus().c_str(), kOpusDefaultBitrate, nullptr), EncodeResult::kDone);
  decoded = DecodeOpus(Opus());
  ASSERT_EQ(decoded.error, "");
  for (const std::string& comment : decoded.comments) EXPECT_EQ(comment.compare(0, 8, "ENCODER="), 0) << comment;
}

TEST_F(OpusEncoder, FailuresAndStopsLeaveNoOutput) {
  WriteStereoWav(Wav(), TestSignal(int64_t(30) * 44100, 7));
  const std::atomic<bool> stop{true};
  EXPECT_EQ(EncodeOpusFile(Wav().c_str(), Opus().c_str(), 160, &stop), EncodeResult::kStopped);
  EXPECT_FALSE(FileExists(Opus()));
  EXPECT_EQ(EncodeOpusFile(Wav().c_str(), Opus().c_str(), 5, nullptr), EncodeResult::kFailed);
  EXPECT_EQ(EncodeOpusFile(Wav().c_str(), Opus().c_str(), 511, nullptr), EncodeResult::kFailed);
  EXPECT_FALSE(FileExists(Opus()));
  EXPECT_EQ(EncodeOpusFile(Wav().c_str(), dir_.File("no such folder\\x.opus").c_str(), 160, nullptr),
            EncodeResult::kOutputUnwritable);
  WriteWholeFile(Wav(), "plain text, long enough for a RIFF header");
  EXPECT_EQ(EncodeOpusFile(Wav().c_str(), Opus().c_str(), 160, nullptr), EncodeResult::kFailed);
  EXPECT_FALSE(FileExists(Opus()));
}

}  // namespace
