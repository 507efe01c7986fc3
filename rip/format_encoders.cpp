#include "rip/format_encoders.h"

#include "rip/ogg_encoder.h"
#include "rip/rip_job.h"

namespace {

int32_t EncodeOgg(HWND, const char* wav_path, const char* output_path, const std::atomic<bool>* stop) {
  return JobResultFor(EncodeOggFile(wav_path, output_path, stop));
}

// Encoders are filled in as each one is built; a null function makes the
// worker report an encoder error instead of claiming a file it never wrote.
const FormatEncoder kOggEncoder = {".ogg", EncodeOgg, true};
const FormatEncoder kWmaEncoder = {".wma", nullptr, true};
const FormatEncoder kMp3Encoder = {".mp3", nullptr, false};

}  // namespace

const FormatEncoder* EncoderForFormat(int format) {
  switch (format) {
    case kFormatOgg: return &kOggEncoder;
    case kFormatWma: return &kWmaEncoder;
    case kFormatMp3: return &kMp3Encoder;
    default: return nullptr;
  }
}
