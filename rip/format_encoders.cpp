#include "rip/format_encoders.h"

#include "rip/rip_job.h"
#include "rip/wma_encoder.h"

namespace {

// Encoders are filled in as each one is built; a null function makes the
// worker report an encoder error instead of claiming a file it never wrote.
const FormatEncoder kOggEncoder = {".ogg", nullptr, true};
// The WMA entry removes the WAV itself: not while the component may hold it.
const FormatEncoder kWmaEncoder = {".wma", EncodeWmaTrack, false};
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
