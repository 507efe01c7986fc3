#include "rip/ogg_encoder.h"

#include <windows.h>

#include <vorbis/vorbisenc.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "akrip/cdda.h"
#include "rip/wav_file_encode.h"

namespace {

constexpr float kVbrQuality = 0.5f;
constexpr char kEncoderTag[] = "ENCODER";
constexpr char kEncoderName[] = "encoder_example";
constexpr int kFramesPerRead = 1024;
constexpr size_t kReadBytes = size_t(kFramesPerRead) * cdda::kBytesPerSampleFrame;  // 4096
constexpr float kSampleScale = 1.0f / 32768.0f;

// The libvorbis and libogg state of one encode, cleared in the reverse order
// of its set-up however far that got.
class VorbisEncoder {
 public:
  VorbisEncoder() {
    vorbis_info_init(&info_);
    vorbis_comment_init(&comment_);
  }
  ~VorbisEncoder() {
    if (stream_ready_) ogg_stream_clear(&stream_);
    if (block_ready_) vorbis_block_clear(&block_);
    if (dsp_ready_) vorbis_dsp_clear(&dsp_);
    vorbis_comment_clear(&comment_);
    vorbis_info_clear(&info_);
  }
  VorbisEncoder(const VorbisEncoder&) = delete;
  VorbisEncoder& operator=(const VorbisEncoder&) = delete;

  bool Start(int serial, const TagFields& tags) {
    if (vorbis_encode_init_vbr(&info_, cdda::kChannels, cdda::kSampleRate, kVbrQuality) != 0) return false;
    vorbis_comment_add_tag(&comment_, kEncoderTag, kEncoderName);
    for (const TagField& tag : tags) vorbis_comment_add_tag(&comment_, tag.name.c_str(), tag.value.c_str());
    // Both set-ups zero their structure first, so a failed one is still safe
    // to clear, and must be, for what it allocated before failing.
    dsp_ready_ = true;
    if (vorbis_analysis_init(&dsp_, &info_) != 0) return false;
    block_ready_ = true;
    if (vorbis_block_init(&dsp_, &block_) != 0) return false;
    if (ogg_stream_init(&stream_, serial) != 0) return false;
    stream_ready_ = true;
    ogg_packet identification, comments, codebooks;
    if (vorbis_analysis_headerout(&dsp_, &comment_, &identification, &comments, &codebooks) != 0) return false;
    return ogg_stream_packetin(&stream_, &identification) == 0 && ogg_stream_packetin(&stream_, &comments) == 0 &&
           ogg_stream_packetin(&stream_, &codebooks) == 0;
  }

  // The header packets end on pages of their own, before any audio page.
  bool FlushHeaders(HANDLE file) {
    ogg_page page;
    while (ogg_stream_flush(&stream_, &page) != 0) {
      if (!WritePage(file, page)) return false;
    }
    return true;
  }

  // Takes interleaved 16-bit little-endian stereo frames; 0 frames ends the input.
  bool Feed(const uint8_t* bytes, int frames) {
    if (frames > 0) {
      float** channels = vorbis_analysis_buffer(&dsp_, kFramesPerRead);
      if (!channels) return false;
      float* left = channels[0];
      float* right = channels[1];
      for (int i = 0; i < frames; ++i) {
        const uint8_t* frame = bytes + i * cdda::kBytesPerSampleFrame;
        left[i] = float(int16_t(uint16_t(frame[0] | frame[1] << 8))) * kSampleScale;
        right[i] = float(int16_t(uint16_t(frame[2] | frame[3] << 8))) * kSampleScale;
      }
    }
    return vorbis_analysis_wrote(&dsp_, frames) == 0;
  }

  // Encodes every block the fed audio completes and writes the pages that fill.
  bool Drain(HANDLE file) {
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
      if (vorbis_analysis(&block_, nullptr) != 0 || vorbis_bitrate_addblock(&block_) != 0) return false;
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
        if (ogg_stream_packetin(&stream_, &packet) != 0) return false;
        ogg_page page;
        while (!ended_ && ogg_stream_pageout(&stream_, &page) != 0) {
          if (!WritePage(file, page)) return false;
          if (ogg_page_eos(&page)) ended_ = true;
        }
      }
    }
    return true;
  }

  bool ended() const { return ended_; }

 private:
  static bool WriteAll(HANDLE file, const unsigned char* bytes, long count) {
    DWORD written = 0;
    return count >= 0 && WriteFile(file, bytes, DWORD(count), &written, nullptr) && written == DWORD(count);
  }
  static bool WritePage(HANDLE file, const ogg_page& page) {
    return WriteAll(file, page.header, page.header_len) && WriteAll(file, page.body, page.body_len);
  }

  vorbis_info info_;
  vorbis_comment comment_;
  vorbis_dsp_state dsp_;
  vorbis_block block_;
  ogg_stream_state stream_;
  bool dsp_ready_ = false;
  bool block_ready_ = false;
  bool stream_ready_ = false;
  bool ended_ = false;
};

EncodeResult EncodeStream(WavStream& wav, HANDLE output, const std::atomic<bool>* stop, const TagFields& tags) {
  VorbisEncoder encoder;
  // The serial number only has to tell this stream from others chained or
  // multiplexed with it; the time is as good as any.
  std::srand(unsigned(std::time(nullptr)));
  if (!encoder.Start(std::rand(), tags)) return EncodeResult::kFailed;
  if (!encoder.FlushHeaders(output)) return EncodeResult::kOutputUnwritable;

  uint8_t buffer[kReadBytes];
  for (;;) {
    if (StopRequested(stop)) return EncodeResult::kStopped;
    const size_t bytes = wav.Read(buffer, sizeof buffer);
    if (bytes == 0) break;
    if (!encoder.Feed(buffer, int(bytes / cdda::kBytesPerSampleFrame))) return EncodeResult::kFailed;
    if (!encoder.Drain(output)) return EncodeResult::kOutputUnwritable;
  }
  if (wav.failed()) return EncodeResult::kWavUnreadable;
  if (!encoder.Feed(nullptr, 0)) return EncodeResult::kFailed;
  if (!encoder.Drain(output)) return EncodeResult::kOutputUnwritable;
  return encoder.ended() ? EncodeResult::kDone : EncodeResult::kFailed;
}

}  // namespace

EncodeResult EncodeOggFile(const char* wav_path, const char* ogg_path, const std::atomic<bool>* stop,
                           const TagFields& tags) {
  return EncodeWavFile(wav_path, ogg_path, GENERIC_WRITE,
                       [&](WavStream& wav, HANDLE output) { return EncodeStream(wav, output, stop, tags); });
}
