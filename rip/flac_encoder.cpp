#include "rip/flac_encoder.h"

#include <windows.h>

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <cstdint>
#include <cstdlib>

#include "akrip/cdda.h"
#include "rip/wav_file_encode.h"

namespace {

constexpr uint32_t kFramesPerRead = 4096;
constexpr size_t kReadBytes = size_t(kFramesPerRead) * cdda::kBytesPerSampleFrame;
constexpr uint32_t kSeekPointSpacing = 10 * cdda::kSampleRate;
constexpr uint32_t kPaddingBytes = 4096;

// The encoder and the metadata blocks it writes, freed however far the set-up got.
class FlacEncoder {
 public:
  FlacEncoder() : encoder_(FLAC__stream_encoder_new()) {}
  ~FlacEncoder() {
    if (encoder_) FLAC__stream_encoder_delete(encoder_);
    for (FLAC__StreamMetadata* block : metadata_) {
      if (block) FLAC__metadata_object_delete(block);
    }
    if (comments_) FLAC__metadata_object_delete(comments_);
  }
  FlacEncoder(const FlacEncoder&) = delete;
  FlacEncoder& operator=(const FlacEncoder&) = delete;

  // Without tags libFLAC writes its own VORBIS_COMMENT block with the vendor
  // string alone.
  bool AddTags(const TagFields& tags) {
    if (tags.empty()) return true;
    comments_ = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    if (!comments_) return false;
    for (const TagField& tag : tags) {
      FLAC__StreamMetadata_VorbisComment_Entry entry;
      if (!FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, tag.name.c_str(),
                                                                          tag.value.c_str())) {
        return false;
      }
      // The block takes the entry's text over.
      if (!FLAC__metadata_object_vorbiscomment_append_comment(comments_, entry, false)) {
        std::free(entry.entry);
        return false;
      }
    }
    return true;
  }

  bool Start(HANDLE output, int level, uint32_t frames) {
    output_ = output;
    if (!encoder_) return false;
    metadata_[0] = FLAC__metadata_object_new(FLAC__METADATA_TYPE_SEEKTABLE);
    metadata_[1] = FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING);
    if (!metadata_[0] || !metadata_[1]) return false;
    metadata_[1]->length = kPaddingBytes;
    // A track shorter than one spacing still gets its point at sample 0.
    if (!FLAC__metadata_object_seektable_template_append_spaced_points_by_samples(metadata_[0], kSeekPointSpacing,
                                                                                  frames) ||
        !FLAC__metadata_object_seektable_template_sort(metadata_[0], true)) {
      return false;
    }
    const bool set = FLAC__stream_encoder_set_verify(encoder_, true) &&
                     FLAC__stream_encoder_set_compression_level(encoder_, unsigned(level)) &&
                     FLAC__stream_encoder_set_channels(encoder_, cdda::kChannels) &&
                     FLAC__stream_encoder_set_bits_per_sample(encoder_, cdda::kBitsPerSample) &&
                     FLAC__stream_encoder_set_sample_rate(encoder_, cdda::kSampleRate) &&
                     FLAC__stream_encoder_set_total_samples_estimate(encoder_, frames) && SetMetadata();
    return set && FLAC__stream_encoder_init_stream(encoder_, Write, Seek, Tell, nullptr, this) ==
                      FLAC__STREAM_ENCODER_INIT_STATUS_OK;
  }

  // Interleaved 16-bit little-endian stereo frames.
  bool Feed(const uint8_t* bytes, uint32_t frames) {
    for (uint32_t i = 0; i < frames * cdda::kChannels; ++i) {
      samples_[i] = int16_t(uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8));
    }
    return FLAC__stream_encoder_process_interleaved(encoder_, samples_, frames);
  }

  // Writes the last frame and rewrites STREAMINFO with the MD5 and the seek
  // table with the points' offsets.  False when the output or the verify failed.
  bool Finish() { return FLAC__stream_encoder_finish(encoder_) && !write_failed_; }

  bool write_failed() const { return write_failed_; }

 private:
  // Tags first, so that a reader finds them without passing the seek table.
  bool SetMetadata() {
    if (!comments_) return FLAC__stream_encoder_set_metadata(encoder_, metadata_, 2);
    blocks_[0] = comments_;
    blocks_[1] = metadata_[0];
    blocks_[2] = metadata_[1];
    return FLAC__stream_encoder_set_metadata(encoder_, blocks_, 3);
  }

  static FLAC__StreamEncoderWriteStatus Write(const FLAC__StreamEncoder*, const FLAC__byte bytes[], size_t count,
                                              uint32_t, uint32_t, void* self) {
    auto* encoder = static_cast<FlacEncoder*>(self);
    DWORD written = 0;
    if (count > MAXDWORD || !WriteFile(encoder->output_, bytes, DWORD(count), &written, nullptr) ||
        written != DWORD(count)) {
      encoder->write_failed_ = true;
      return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
    }
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
  }
  static FLAC__StreamEncoderSeekStatus Seek(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* self) {
    LARGE_INTEGER to;
    to.QuadPart = LONGLONG(offset);
    return SetFilePointerEx(static_cast<FlacEncoder*>(self)->output_, to, nullptr, FILE_BEGIN)
               ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
               : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
  }
  static FLAC__StreamEncoderTellStatus Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* self) {
    LARGE_INTEGER zero{};
    LARGE_INTEGER at;
    if (!SetFilePointerEx(static_cast<FlacEncoder*>(self)->output_, zero, &at, FILE_CURRENT)) {
      return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
    }
    *offset = FLAC__uint64(at.QuadPart);
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
  }

  FLAC__StreamEncoder* encoder_;
  FLAC__StreamMetadata* metadata_[2] = {nullptr, nullptr};
  FLAC__StreamMetadata* comments_ = nullptr;
  FLAC__StreamMetadata* blocks_[3] = {nullptr, nullptr, nullptr};
  HANDLE output_ = INVALID_HANDLE_VALUE;
  bool write_failed_ = false;
  FLAC__int32 samples_[kFramesPerRead * cdda::kChannels];
};

EncodeResult EncodeStream(WavStream& wav, HANDLE output, int level, const std::atomic<bool>* stop,
                          const TagFields& tags) {
  FlacEncoder encoder;
  if (!encoder.AddTags(tags) || !encoder.Start(output, level, wav.FrameCount())) {
    return encoder.write_failed() ? EncodeResult::kOutputUnwritable : EncodeResult::kFailed;
  }
  uint8_t buffer[kReadBytes];
  for (;;) {
    if (StopRequested(stop)) return EncodeResult::kStopped;
    const size_t bytes = wav.Read(buffer, sizeof buffer);
    if (bytes == 0) break;
    if (!encoder.Feed(buffer, uint32_t(bytes / cdda::kBytesPerSampleFrame))) {
      return encoder.write_failed() ? EncodeResult::kOutputUnwritable : EncodeResult::kFailed;
    }
  }
  if (wav.failed()) return EncodeResult::kWavUnreadable;
  if (!encoder.Finish()) return encoder.write_failed() ? EncodeResult::kOutputUnwritable : EncodeResult::kFailed;
  return EncodeResult::kDone;
}

}  // namespace

EncodeResult EncodeFlacFile(const char* wav_path, const char* flac_path, int level, const std::atomic<bool>* stop,
                            const TagFields& tags) {
  if (level < kFlacLowestLevel || level > kFlacHighestLevel) return EncodeResult::kFailed;
  // Read access too: the encoder reads nothing back, but a seekable handle
  // is what lets it rewrite STREAMINFO and the seek table at the end.
  return EncodeWavFile(wav_path, flac_path, GENERIC_READ | GENERIC_WRITE,
                       [&](WavStream& wav, HANDLE output) { return EncodeStream(wav, output, level, stop, tags); });
}
