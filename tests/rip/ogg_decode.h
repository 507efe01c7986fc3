// Reads back an Ogg Vorbis file the way a player would (libvorbisfile), and
// page by page the way a stream checker would (libogg), for the encoder tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rip/track_tags.h"

namespace rip_tests {

struct DecodedOgg {
  std::string error;  // empty when the file decoded
  long channels = 0;
  long rate = 0;
  int64_t declared_frames = 0;   // the length the stream's granule positions give
  std::vector<int16_t> samples;  // interleaved, as decoded
  std::string vendor;
  std::vector<std::string> comments;
  int64_t frames() const { return channels ? int64_t(samples.size()) / channels : 0; }
};
DecodedOgg DecodeOgg(const std::string& path);

struct OggPages {
  std::string error;  // empty when every byte belonged to a page
  int pages = 0;
  int serials = 0;  // distinct serial numbers
  int end_of_stream_pages = 0;
  bool last_page_ends_stream = false;
  int64_t last_granule = -1;
  std::vector<int> header_packet_types;  // first byte of each packet on the header pages
  bool audio_starts_on_a_fresh_page = false;
};
OggPages ReadOggPages(const std::string& path);

// The comments of a Vorbis comment packet (the vendor string skipped) after
// its `magic_length` bytes of packet type; "malformed" when the counts
// overrun the packet.
std::vector<std::string> CommentPacketFields(const unsigned char* packet, long bytes, size_t magic_length);

// Tags with a text beyond ASCII, as the encoders get them, and the comment
// lines a reader must find.
TagFields SampleTags();
std::vector<std::string> SampleTagLines();

// Interleaved 16-bit stereo PCM in a 44-byte-header WAV file.
void WriteStereoWav(const std::string& path, const std::vector<int16_t>& samples);

// A seeded test signal: a tone on each channel with a little noise.
std::vector<int16_t> TestSignal(int64_t frames, unsigned seed);

// Signal-to-noise ratio of `decoded` against `original`, in dB.
double SnrDb(const std::vector<int16_t>& original, const std::vector<int16_t>& decoded);

}  // namespace rip_tests
