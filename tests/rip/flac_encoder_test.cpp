// The FLAC encoder, checked by decoding what it wrote with libFLAC's own
// decoder: every sample back as it went in, the MD5 and the seek table
// filled in, room left for tags, and nothing left behind by a failure.
#include "rip/flac_encoder.h"

#include <windows.h>

#include <FLAC/stream_decoder.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ogg_decode.h"
#include "support/temp_dir.h"

namespace {

using rip_tests::SampleTagLines;
using rip_tests::SampleTags;
using rip_tests::TestSignal;
using rip_tests::WriteStereoWav;
using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

struct DecodedFlac {
  bool ok = false;
  std::vector<int16_t> samples;
  uint64_t total_frames = 0;
  bool md5_set = false;
  std::vector<uint64_t> seek_points;
  uint32_t padding = 0;
  std::vector<std::string> comments;
};

FLAC__StreamDecoderWriteStatus CollectFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                            const FLAC__int32* const channels[], void* data) {
  auto* decoded = static_cast<DecodedFlac*>(data);
  for (uint32_t i = 0; i < frame->header.blocksize; ++i) {
    decoded->samples.push_back(int16_t(channels[0][i]));
    decoded->samples.push_back(int16_t(channels[1][i]));
  }
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void CollectMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* data) {
  auto* decoded = static_cast<DecodedFlac*>(data);
  if (block->type == FLAC__METADATA_TYPE_STREAMINFO) {
    decoded->total_frames = block->data.stream_info.total_samples;
    for (FLAC__byte byte : block->data.stream_info.md5sum) decoded->md5_set |= byte != 0;
  } else if (block->type == FLAC__METADATA_TYPE_SEEKTABLE) {
    for (uint32_t i = 0; i < block->data.seek_table.num_points; ++i) {
      decoded->seek_points.push_back(block->data.seek_table.points[i].sample_number);
    }
  } else if (block->type == FLAC__METADATA_TYPE_PADDING) {
    decoded->padding += block->length;
  } else if (block->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
    for (uint32_t i = 0; i < block->data.vorbis_comment.num_comments; ++i) {
      const FLAC__StreamMetadata_VorbisComment_Entry& entry = block->data.vorbis_comment.comments[i];
      decoded->comments.emplace_back(reinterpret_cast<const char*>(entry.entry), entry.length);
    }
  }
}

void NoteError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data) {
  static_cast<DecodedFlac*>(data)->ok = false;
}

DecodedFlac DecodeFlac(const std::string& path) {
  DecodedFlac decoded;
  FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
  FLAC__stream_decoder_set_md5_checking(decoder, true);
  FLAC__stream_decoder_set_metadata_respond_all(decoder);
  decoded.ok = FLAC__stream_decoder_init_file(decoder, path.c_str(), CollectFrame, CollectMetadata, NoteError,
                                              &decoded) == FLAC__STREAM_DECODER_INIT_STATUS_OK &&
               FLAC__stream_decoder_process_until_end_of_stream(decoder);
  // The MD5 of the decoded audio is compared with STREAMINFO's here.
  decoded.ok = FLAC__stream_decoder_finish(decoder) && decoded.ok;
  FLAC__stream_decoder_delete(decoder);
  return decoded;
}

class FlacEncoder : public testing::Test {
 protected:
  std::string Wav() const { return dir_.File("track.wav"); }
  std::string Flac() const { return dir_.File("track.flac"); }
  TempDir dir_;
};

TEST_F(FlacEncoder, EveryLengthAndLevelDecodesToTheSamplesThatWentIn) {
  const struct {
    int64_t frames;
    int level;
  } cases[] = {{1, 5}, {4095, 0}, {int64_t(65) * 44100 + 587, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.frames);
    const std::vector<int16_t> input = TestSignal(c.frames, unsigned(c.frames));
    WriteStereoWav(Wav(), input);
    WriteWholeFile(Flac(), std::string(1000, 'x'));  // an earlier file is replaced
    ASSERT_EQ(EncodeFlacFile(Wav().c_str(), Flac().c_str(), c.level, nullptr), EncodeResult::kDone);
    const DecodedFlac decoded = DecodeFlac(Flac());
    EXPECT_TRUE(decoded.ok);
    EXPECT_TRUE(decoded.samples == input);
    EXPECT_EQ(decoded.total_frames, uint64_t(c.frames));
    EXPECT_TRUE(decoded.md5_set);
    EXPECT_EQ(decoded.padding, 4096u);
    ASSERT_FALSE(decoded.seek_points.empty());
    // Each point names the frame that holds its ten-second mark.
    for (size_t i = 0; i < decoded.seek_points.size(); ++i) {
      EXPECT_LE(decoded.seek_points[i], i * 441000u);
      EXPECT_GT(decoded.seek_points[i] + 4608, i * 441000u);
    }
    EXPECT_EQ(decoded.seek_points.size(), size_t(c.frames / 441000 + 1));
  }
}

// Tags go into the file's comment block, which untagged files keep empty;
// the audio and the room for later edits stay as they were.
TEST_F(FlacEncoder, TagsAreReadBackFromTheCommentBlock) {
  const std::vector<int16_t> input = TestSignal(44100, 3);
  WriteStereoWav(Wav(), input);
  ASSERT_EQ(EncodeFlacFile(Wav().c_str(), Flac().c_str(), 5, nullptr, SampleTags()), EncodeResult::kDone);
  DecodedFlac decoded = DecodeFlac(Flac());
  EXPECT_TRUE(decoded.ok);
  EXPECT_TRUE(decoded.samples == input);
  EXPECT_EQ(decoded.padding, 4096u);
  EXPECT_EQ(decoded.comments, SampleTagLines());
  ASSERT_EQ(EncodeFlacFile(Wav().c_str(), Flac().c_str(), 5, nullptr), EncodeResult::kDone);
  decoded = DecodeFlac(Flac());
  EXPECT_TRUE(decoded.ok);
  EXPECT_TRUE(decoded.comments.empty());
}

TEST_F(FlacEncoder, FailuresAndStopsLeaveNoOutput) {
  WriteStereoWav(Wav(), TestSignal(int64_t(30) * 44100, 7));
  const std::atomic<bool> stop{true};
  EXPECT_EQ(EncodeFlacFile(Wav().c_str(), Flac().c_str(), 5, &stop), EncodeResult::kStopped);
  EXPECT_FALSE(FileExists(Flac()));
  EXPECT_EQ(EncodeFlacFile(Wav().c_str(), Flac().c_str(), 9, nullptr), EncodeResult::kFailed);
  EXPECT_FALSE(FileExists(Flac()));
  EXPECT_EQ(EncodeFlacFile(Wav().c_str(), dir_.File("no such folder\\x.flac").c_str(), 5, nullptr),
            EncodeResult::kOutputUnwritable);
  WriteWholeFile(Wav(), "plain text, long enough for a RIFF header");
  EXPECT_EQ(EncodeFlacFile(Wav().c_str(), Flac().c_str(), 5, nullptr), EncodeResult::kFailed);
  EXPECT_FALSE(FileExists(Flac()));
  EXPECT_EQ(EncodeFlacFile(dir_.File("missing.wav").c_str(), Flac().c_str(), 5, nullptr), EncodeResult::kWavUnreadable);
}

}  // namespace
