#include "rip/format_encoders.h"

#include "rip/ogg_encoder.h"
#include "rip/output_format.h"
#include "rip/wma_encoder.h"

namespace {

int32_t EncodeOgg(HWND, const char* wav_path, const char* output_path, const std::atomic<bool>& stop) {
  return JobResultFor(EncodeOggFile(wav_path, output_path, &stop));
}

// Encoders are filled in as each one is built; a null function makes the
// worker report an encoder error instead of claiming a file it never wrote.
FormatEncoder g_ogg_encoder = {".ogg", EncodeOgg, true};
// The WMA entry removes the WAV itself: not while the component may hold it.
FormatEncoder g_wma_encoder = {".wma", EncodeWmaTrack, false};
FormatEncoder g_mp3_encoder = {".mp3", nullptr, false};

FormatEncoder* Entry(int format) {
  switch (format) {
    case kFormatOgg: return &g_ogg_encoder;
    case kFormatWma: return &g_wma_encoder;
    case kFormatMp3: return &g_mp3_encoder;
    default: return nullptr;
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
