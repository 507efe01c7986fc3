#include "rip/opus_encoder.h"

#include <windows.h>

#include <opus/opusenc.h>

#include <cstdint>

#include "akrip/cdda.h"
#include "rip/wav_file_encode.h"

namespace {

constexpr int kFramesPerRead = 4096;
constexpr size_t kReadBytes = size_t(kFramesPerRead) * cdda::kBytesPerSampleFrame;
constexpr int kMappingFamilyStereo = 0;

class OpusFileEncoder {
 public:
  explicit OpusFileEncoder(HANDLE output) : output_(output), comments_(ope_comments_create()) {}
  ~OpusFileEncoder() {
    if (encoder_) ope_encoder_destroy(encoder_);
    if (comments_) ope_comments_destroy(comments_);
  }
  OpusFileEncoder(const OpusFileEncoder&) = delete;
  OpusFileEncoder& operator=(const OpusFileEncoder&) = delete;

  bool Start(int kbps, const TagFields& tags) {
    if (!comments_) return false;
    for (const TagField& tag : tags) {
      if (ope_comments_add(comments_, tag.name.c_str(), tag.value.c_str()) != OPE_OK) return false;
    }
    const OpusEncCallbacks callbacks = {Write, Close};
    int error = OPE_OK;
    encoder_ = ope_encoder_create_callbacks(&callbacks, this, comments_, cdda::kSampleRate, cdda::kChannels,
                                            kMappingFamilyStereo, &error);
    return encoder_ && error == OPE_OK && ope_encoder_ctl(encoder_, OPUS_SET_BITRATE(kbps * 1000)) == OPE_OK &&
           ope_encoder_ctl(encoder_, OPUS_SET_VBR(1)) == OPE_OK;
  }

  // Interleaved 16-bit little-endian stereo frames.
  bool Feed(const uint8_t* bytes, int frames) {
    for (int i = 0; i < frames * cdda::kChannels; ++i) {
      samples_[i] = opus_int16(uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8));
    }
    return ope_encoder_write(encoder_, samples_, frames) == OPE_OK;
  }

  // Encodes what is left and writes the last page with the stream's end.
  bool Finish() { return ope_encoder_drain(encoder_) == OPE_OK && !write_failed_; }

  bool write_failed() const { return write_failed_; }

 private:
  static int Write(void* self, const unsigned char* bytes, opus_int32 count) {
    auto* encoder = static_cast<OpusFileEncoder*>(self);
    DWORD written = 0;
    if (count < 0 || !WriteFile(encoder->output_, bytes, DWORD(count), &written, nullptr) || written != DWORD(count)) {
      encoder->write_failed_ = true;
      return 1;
    }
    return 0;
  }
  // The file belongs to the caller, who closes it and checks the close.
  static int Close(void*) { return 0; }

  HANDLE output_;
  OggOpusComments* comments_;
  OggOpusEnc* encoder_ = nullptr;
  bool write_failed_ = false;
  opus_int16 samples_[kFramesPerRead * cdda::kChannels];
};

EncodeResult EncodeStream(WavStream& wav, HANDLE output, int kbps, const std::atomic<bool>* stop,
                          const TagFields& tags) {
  OpusFileEncoder encoder(output);
  if (!encoder.Start(kbps, tags)) return EncodeResult::kFailed;
  uint8_t buffer[kReadBytes];
  for (;;) {
    if (StopRequested(stop)) return EncodeResult::kStopped;
    const size_t bytes = wav.Read(buffer, sizeof buffer);
    if (bytes == 0) break;
    if (!encoder.Feed(buffer, int(bytes / cdda::kBytesPerSampleFrame))) {
      return encoder.write_failed() ? EncodeResult::kOutputUnwritable : EncodeResult::kFailed;
    }
  }
  if (wav.failed()) return EncodeResult::kWavUnreadable;
  if (!encoder.Finish()) return encoder.write_failed() ? EncodeResult::kOutputUnwritable : EncodeResult::kFailed;
  return EncodeResult::kDone;
}

}  // namespace

EncodeResult EncodeOpusFile(const char* wav_path, const char* opus_path, int kbps, const std::atomic<bool>* stop,
                            const TagFields& tags) {
  if (kbps < kOpusLowestBitrate || kbps > kOpusHighestBitrate) return EncodeResult::kFailed;
  return EncodeWavFile(wav_path, opus_path, GENERIC_WRITE,
                       [&](WavStream& wav, HANDLE output) { return EncodeStream(wav, output, kbps, stop, tags); });
}
