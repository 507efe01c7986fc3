#include "rip/format_encoders.h"

#include "rip/mp3_encoder.h"
#include "rip/output_format.h"

namespace {

// Encoders are filled in as each one is built; a null function makes the
// worker report an encoder error instead of claiming a file it never wrote.
FormatEncoder g_ogg_encoder = {".ogg", nullptr, true};
FormatEncoder g_wma_encoder = {".wma", nullptr, true};
FormatEncoder g_mp3_encoder = {".mp3", LaunchMp3Encoder, false};

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
