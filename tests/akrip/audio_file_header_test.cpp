// The WAVE and FLAC header readers against well-formed CD audio and against
// headers that lie: other formats, sizes past the file, chunks that never end.
#include "akrip/audio_file_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutLe(Bytes* bytes, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(Bytes* bytes, const char* tag) { bytes->insert(bytes->end(), tag, tag + 4); }

struct WaveFields {
  uint16_t tag = 1;
  uint16_t channels = 2;
  uint32_t rate = 44100;
  uint16_t bits = 16;
  uint32_t data_bytes = 2352;
  uint32_t written_data_bytes = 2352;  // what the data chunk's size field claims
  bool extensible = false;
  bool list_chunk = false;
};

Bytes Wave(const WaveFields& f) {
  Bytes b;
  PutTag(&b, "RIFF");
  PutLe(&b, 0, 4);
  PutTag(&b, "WAVE");
  if (f.list_chunk) {
    PutTag(&b, "LIST");
    PutLe(&b, 3, 4);
    b.insert(b.end(), {'a', 'b', 'c', 0});  // odd size plus its pad byte
  }
  PutTag(&b, "fmt ");
  PutLe(&b, f.extensible ? 40 : 16, 4);
  PutLe(&b, f.extensible ? 0xFFFE : f.tag, 2);
  PutLe(&b, f.channels, 2);
  PutLe(&b, f.rate, 4);
  PutLe(&b, f.rate * f.channels * f.bits / 8, 4);
  PutLe(&b, static_cast<uint32_t>(f.channels * f.bits / 8), 2);
  PutLe(&b, f.bits, 2);
  if (f.extensible) {
    PutLe(&b, 22, 2);
    PutLe(&b, f.bits, 2);
    PutLe(&b, 3, 4);
    PutLe(&b, f.tag, 2);
    b.insert(b.end(), 14, 0);
  }
  PutTag(&b, "data");
  PutLe(&b, f.written_data_bytes, 4);
  b.insert(b.end(), f.data_bytes, 0);
  return b;
}

struct FlacFields {
  uint32_t rate = 44100;
  uint32_t channels = 2;
  uint32_t bits = 16;
  uint64_t samples = 588;
  uint32_t padding_size = 8;  // what the last block's header claims
  size_t frames_bytes = 64;
};

Bytes Flac(const FlacFields& f) {
  Bytes b = {'f', 'L', 'a', 'C', 0x00, 0, 0, 34};
  Bytes info(34, 0);
  info[10] = static_cast<uint8_t>(f.rate >> 12);
  info[11] = static_cast<uint8_t>(f.rate >> 4);
  info[12] = static_cast<uint8_t>((f.rate & 0x0F) << 4 | ((f.channels - 1) & 7) << 1 | ((f.bits - 1) >> 4 & 1));
  info[13] = static_cast<uint8_t>(((f.bits - 1) & 0x0F) << 4 | (f.samples >> 32 & 0x0F));
  for (int i = 0; i < 4; ++i) info[size_t(14 + i)] = static_cast<uint8_t>(f.samples >> (24 - 8 * i));
  b.insert(b.end(), info.begin(), info.end());
  b.insert(b.end(), {0x81, static_cast<uint8_t>(f.padding_size >> 16), static_cast<uint8_t>(f.padding_size >> 8),
                     static_cast<uint8_t>(f.padding_size)});
  b.insert(b.end(), 8 + f.frames_bytes, 0);
  return b;
}

akrip::AudioHeaderResult Read(const Bytes& file, akrip::AudioFileFormat* format) {
  auto read = [&file](uint64_t offset, void* out, size_t bytes) {
    if (offset > file.size() || file.size() - offset < bytes) return false;
    std::memcpy(out, file.data() + offset, bytes);
    return true;
  };
  return akrip::ReadAudioFileHeader(read, file.size(), format);
}

TEST(AudioFileHeader, FindsTheSamplesOfCdAudio) {
  akrip::AudioFileFormat format;
  WaveFields plain;
  ASSERT_TRUE(Read(Wave(plain), &format).ok);
  EXPECT_EQ(format.container, akrip::AudioContainer::kWave);
  EXPECT_EQ(format.data_offset, 44u);
  EXPECT_EQ(format.audio_bytes, 2352u);

  WaveFields with_list;
  with_list.list_chunk = true;
  with_list.extensible = true;
  ASSERT_TRUE(Read(Wave(with_list), &format).ok) << Read(Wave(with_list), &format).reason;
  EXPECT_EQ(format.data_offset, 12u + 12 + 48 + 8);

  FlacFields flac;
  ASSERT_TRUE(Read(Flac(flac), &format).ok) << Read(Flac(flac), &format).reason;
  EXPECT_EQ(format.container, akrip::AudioContainer::kFlac);
  EXPECT_EQ(format.audio_bytes, 588u * 4);
}

TEST(AudioFileHeader, RefusesWhatIsNotCdAudioOrLiesAboutItsSize) {
  struct Case {
    const char* name;
    Bytes file;
    const char* reason;
  };
  std::vector<Case> cases;
  auto wave = [](auto change) {
    WaveFields f;
    change(f);
    return Wave(f);
  };
  auto flac = [](auto change) {
    FlacFields f;
    change(f);
    return Flac(f);
  };
  cases.push_back({"24-bit", wave([](WaveFields& f) { f.bits = 24; }), "WAVE file has 24-bit samples"});
  cases.push_back({"mono", wave([](WaveFields& f) { f.channels = 1; }), "WAVE file has 1 channels"});
  cases.push_back({"no channels", wave([](WaveFields& f) { f.channels = 0; }), "WAVE file has 0 channels"});
  cases.push_back({"48 kHz", wave([](WaveFields& f) { f.rate = 48000; }), "WAVE file has 48000 Hz"});
  cases.push_back({"float", wave([](WaveFields& f) { f.tag = 3; }), "WAVE file is not PCM (format 3)"});
  cases.push_back({"extensible float", wave([](WaveFields& f) { f.tag = 3, f.extensible = true; }),
                   "WAVE file is not PCM (format 3)"});
  cases.push_back({"data past the end", wave([](WaveFields& f) { f.written_data_bytes = 0xFFFFFFFF; }),
                   "WAVE data chunk runs past the end of the file"});
  cases.push_back({"part of a sample", wave([](WaveFields& f) { f.data_bytes = f.written_data_bytes = 2350; }),
                   "WAVE data chunk holds a part of a sample"});
  Bytes huge_chunk = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'J', 'U', 'N', 'K', 0xF0, 0xFF, 0xFF, 0xFF};
  cases.push_back({"huge chunk", huge_chunk, "WAVE file has no data chunk"});
  Bytes data_first = Wave(WaveFields());
  std::memcpy(data_first.data() + 12, "junk", 4);
  cases.push_back({"data without format", data_first, "WAVE data chunk comes before its format chunk"});
  cases.push_back({"not a wave", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, "not a WAVE file"});
  cases.push_back({"text", {'h', 'e', 'l', 'l', 'o'}, "neither a WAVE nor a FLAC file"});
  cases.push_back({"empty", {}, "file is too short"});
  cases.push_back({"flac 24-bit", flac([](FlacFields& f) { f.bits = 24; }), "FLAC file has 24-bit samples"});
  cases.push_back({"flac 6 channels", flac([](FlacFields& f) { f.channels = 6; }), "FLAC file has 6 channels"});
  cases.push_back({"flac no count", flac([](FlacFields& f) { f.samples = 0; }), "FLAC file does not say how many"});
  cases.push_back({"flac count past the end", flac([](FlacFields& f) { f.samples = 0xFFFFFFFFFull; }),
                   "FLAC sample count runs past the end of the file"});
  cases.push_back({"flac metadata past the end", flac([](FlacFields& f) { f.padding_size = 0xFFFFFF; }),
                   "FLAC metadata runs past the end of the file"});
  Bytes cut = Flac(FlacFields());
  cut.resize(20);
  cases.push_back({"flac cut short", cut, "FLAC stream information is cut short"});

  for (const Case& c : cases) {
    akrip::AudioFileFormat format;
    akrip::AudioHeaderResult result = Read(c.file, &format);
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_EQ(result.reason.rfind(c.reason, 0), 0u) << c.name << ": " << result.reason;
  }
}

}  // namespace
