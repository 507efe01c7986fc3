#include "rip/format_encoders.h"

#include "rip/mp3_encoder.h"
#include "rip/ogg_encoder.h"
#include "rip/output_format.h"
#include "rip/wma_encoder.h"

namespace {

int32_t EncodeOgg(const RipJob&, const char* wav_path, const char* output_path, const std::atomic<bool>& stop) {
  return JobResultFor(EncodeOggFile(wav_path, output_path, &stop));
}

int32_t EncodeWma(const RipJob& job, const char* wav_path, const char* output_path, const std::atomic<bool>& stop) {
  return EncodeWmaTrack(job.window, wav_path, output_path, stop);
}

// The encoder process runs on after the call; the watch of its end deals with a stop.
int32_t LaunchMp3(const RipJob& job, const char* wav_path, const char* output_path, const std::atomic<bool>&) {
  return LaunchMp3Encoder(job, wav_path, output_path);
}

// Encoders are filled in as each one is built; a null function makes the
// worker report an encoder error instead of claiming a file it never wrote.
FormatEncoder g_ogg_encoder = {".ogg", EncodeOgg, true};
// The WMA entry removes the WAV itself: not while the component may hold it.
FormatEncoder g_wma_encoder = {".wma", EncodeWma, false};
FormatEncoder g_mp3_encoder = {".mp3", LaunchMp3, false};

FormatEncoder* Entry(int format) {
  switch (format) {
    case kFormatOgg:
      return &g_ogg_encoder;
    case kFormatWma:
      return &g_wma_encoder;
    case kFormatMp3:
      return &g_mp3_encoder;
    default:
      return nullptr;
  }
}

}  // namespace

const FormatEncoder* EncoderForFormat(int format) { return Entry(format); }

EncodeFn SetFormatEncode(int format, EncodeFn encode) {
  FormatEncoder* entry = Entry(format);
  if (!entry) return nullptr;
  const EncodeFn previous = entry->encode;
  entry->encode = encode;
  return previous;
}
