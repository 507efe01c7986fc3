#include "ogg_decode.h"

// Only ov_fopen is used; the header's static callback sets would be unused.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <set>

#include "cd/wav_writer.h"
#include "support/temp_dir.h"

namespace rip_tests {

DecodedOgg DecodeOgg(const std::string& path) {
  DecodedOgg decoded;
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) != 0) {
    decoded.error = "not an Ogg Vorbis file";
    return decoded;
  }
  const vorbis_info* info = ov_info(&file, -1);
  decoded.channels = info->channels;
  decoded.rate = info->rate;
  decoded.declared_frames = ov_pcm_total(&file, -1);
  const vorbis_comment* comment = ov_comment(&file, -1);
  decoded.vendor = comment->vendor ? comment->vendor : "";
  for (int i = 0; i < comment->comments; ++i) decoded.comments.emplace_back(comment->user_comments[i]);
  char buffer[8192];
  int section = 0;
  for (;;) {
    const long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
    if (got == 0) break;
    if (got < 0) {
      decoded.error = "decoding failed with " + std::to_string(got);
      break;
    }
    const auto* samples = reinterpret_cast<const int16_t*>(buffer);
    decoded.samples.insert(decoded.samples.end(), samples, samples + got / 2);
  }
  ov_clear(&file);
  return decoded;
}

OggPages ReadOggPages(const std::string& path) {
  OggPages result;
  const std::vector<unsigned char> bytes = testing_support::ReadWholeFile(path);
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* into = ogg_sync_buffer(&sync, long(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), into);
  ogg_sync_wrote(&sync, long(bytes.size()));
  std::set<int> serials;
  ogg_stream_state stream;
  bool stream_ready = false;
  bool in_headers = true;
  ogg_page page;
  int status;
  while ((status = ogg_sync_pageout(&sync, &page)) != 0) {
    if (status < 0) {
      result.error = "bytes that are not a page";
      continue;
    }
    ++result.pages;
    serials.insert(ogg_page_serialno(&page));
    if (!stream_ready) {
      ogg_stream_init(&stream, ogg_page_serialno(&page));
      stream_ready = true;
    }
    const bool ends = ogg_page_eos(&page) != 0;
    result.end_of_stream_pages += ends ? 1 : 0;
    result.last_page_ends_stream = ends;
    result.last_granule = ogg_page_granulepos(&page);
    if (in_headers && ogg_page_granulepos(&page) != 0) {
      in_headers = false;
      result.audio_starts_on_a_fresh_page = !ogg_page_continued(&page);
    }
    if (in_headers) {
      ogg_stream_pagein(&stream, &page);
      ogg_packet packet;
      while (ogg_stream_packetout(&stream, &packet) == 1) {
        result.header_packet_types.push_back(packet.bytes > 0 ? packet.packet[0] : -1);
      }
    }
  }
  if (sync.fill != sync.returned) result.error = "a partial page at the end";
  if (stream_ready) ogg_stream_clear(&stream);
  ogg_sync_clear(&sync);
  result.serials = int(serials.size());
  return result;
}

void WriteStereoWav(const std::string& path, const std::vector<int16_t>& samples) {
  const uint32_t data_size = uint32_t(samples.size() * sizeof(int16_t));
  std::vector<unsigned char> file(kWavHeaderBytes + data_size);
  BuildWavHeader(data_size, file.data());
  for (size_t i = 0; i < samples.size(); ++i) {
    file[kWavHeaderBytes + 2 * i] = static_cast<unsigned char>(samples[i]);
    file[kWavHeaderBytes + 2 * i + 1] = static_cast<unsigned char>(uint16_t(samples[i]) >> 8);
  }
  testing_support::WriteWholeFile(path, file.data(), file.size());
}

std::vector<int16_t> TestSignal(int64_t frames, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-300, 300);
  const double pi = std::acos(-1.0);
  std::vector<int16_t> samples(size_t(frames) * 2);
  for (int64_t i = 0; i < frames; ++i) {
    const double t = double(i) / 44100.0;
    samples[size_t(2 * i)] = int16_t(12000 * std::sin(2 * pi * 440 * t) + noise(random));
    samples[size_t(2 * i + 1)] = int16_t(9000 * std::sin(2 * pi * 1250 * t + 1) + noise(random));
  }
  return samples;
}

double SnrDb(const std::vector<int16_t>& original, const std::vector<int16_t>& decoded) {
  double signal = 0;
  double error = 0;
  for (size_t i = 0; i < original.size() && i < decoded.size(); ++i) {
    signal += double(original[i]) * original[i];
    const double difference = double(original[i]) - decoded[i];
    error += difference * difference;
  }
  return error > 0 ? 10 * std::log10(signal / error) : 200;
}

std::vector<std::string> CommentPacketFields(const unsigned char* packet, long bytes, size_t magic_length) {
  const std::vector<std::string> malformed{"malformed"};
  size_t at = magic_length;
  const size_t size = bytes > 0 ? size_t(bytes) : 0;
  auto read_length = [&](uint32_t* length) {
    if (at + 4 > size) return false;
    *length = uint32_t(packet[at]) | uint32_t(packet[at + 1]) << 8 | uint32_t(packet[at + 2]) << 16 |
              uint32_t(packet[at + 3]) << 24;
    at += 4;
    return true;
  };
  uint32_t length = 0;
  if (!read_length(&length) || length > size - at) return malformed;
  at += length;  // the vendor
  uint32_t count = 0;
  if (!read_length(&count)) return malformed;
  std::vector<std::string> fields;
  for (uint32_t i = 0; i < count; ++i) {
    if (!read_length(&length) || length > size - at) return malformed;
    fields.emplace_back(reinterpret_cast<const char*>(packet + at), length);
    at += length;
  }
  return fields;
}

TagFields SampleTags() {
  return {{"TITLE", "Caf\xc3\xa9 = open"}, {"ARTIST", "Corvale Players"}, {"TRACKNUMBER", "2"}, {"CDDB", "3a05d704"}};
}

std::vector<std::string> SampleTagLines() {
  return {"TITLE=Caf\xc3\xa9 = open", "ARTIST=Corvale Players", "TRACKNUMBER=2", "CDDB=3a05d704"};
}

}  // namespace rip_tests
