#include "rip/format_encoders.h"

#include <windows.h>

#include <string>

#include "rip/flac_encoder.h"
#include "rip/mp3_encoder.h"
#include "rip/ogg_encoder.h"
#include "rip/opus_encoder.h"
#include "rip/output_format.h"
#include "rip/tag_file.h"
#include "rip/wma_encoder.h"

namespace {

int32_t EncodeOgg(const RipJob& job, const EncodeFiles& files, const std::atomic<bool>& stop) {
  return JobResultFor(EncodeOggFile(files.wav_path, files.output_path, &stop, TagFieldsForJobTrack(job, files.track)));
}

int32_t EncodeFlac(const RipJob& job, const EncodeFiles& files, const std::atomic<bool>& stop) {
  return JobResultFor(
      EncodeFlacFile(files.wav_path, files.output_path, job.flac_level, &stop, TagFieldsForJobTrack(job, files.track)));
}

int32_t EncodeOpus(const RipJob& job, const EncodeFiles& files, const std::atomic<bool>& stop) {
  return JobResultFor(EncodeOpusFile(files.wav_path, files.output_path, job.opus_bitrate, &stop,
                                     TagFieldsForJobTrack(job, files.track)));
}

// The component writes no tags of ours; they go into its finished file.  A
// file that cannot be tagged is still the track's audio.
int32_t EncodeWma(const RipJob& job, const EncodeFiles& files, const std::atomic<bool>& stop) {
  const int32_t result = EncodeWmaTrack(job.window, files.wav_path, files.output_path, stop);
  if (result != 0 || stop.load()) return result;
  const TagFields tags = TagFieldsForJobTrack(job, files.track);
  if (!tags.empty() && WriteRipTags(files.output_path, tags) != TagFileResult::kDone) {
    OutputDebugStringA((std::string("Corvale: no tags could be written into ") + files.output_path + "\n").c_str());
  }
  return result;
}

// The encoder process runs on after the call; the watch of its end deals with a stop.
int32_t LaunchMp3(const RipJob& job, const EncodeFiles& files, const std::atomic<bool>&) {
  return LaunchMp3Encoder(job, files.track, files.wav_path, files.output_path, files.earlier_path,
                          TagFieldsForJobTrack(job, files.track));
}

// Encoders are filled in as each one is built; a null function makes the
// worker report an encoder error instead of claiming a file it never wrote.
FormatEncoder g_ogg_encoder = {".ogg", EncodeOgg, EncoderKind::kInProcess};
FormatEncoder g_wma_encoder = {".wma", EncodeWma, EncoderKind::kComponent};
FormatEncoder g_mp3_encoder = {".mp3", LaunchMp3, EncoderKind::kProcess};
FormatEncoder g_flac_encoder = {".flac", EncodeFlac, EncoderKind::kInProcess};
FormatEncoder g_opus_encoder = {".opus", EncodeOpus, EncoderKind::kInProcess};

FormatEncoder* Entry(int format) {
  switch (format) {
    case kFormatOgg:
      return &g_ogg_encoder;
    case kFormatWma:
      return &g_wma_encoder;
    case kFormatMp3:
      return &g_mp3_encoder;
    case kFormatFlac:
      return &g_flac_encoder;
    case kFormatOpus:
      return &g_opus_encoder;
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
