#include "support/disc_image.h"

#include <cstdio>
#include <fstream>

#include "akrip/cdda.h"

namespace testing_support {

namespace {

std::string Msf(int32_t lba) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(lba / (60 * 75)), int(lba / 75 % 60), int(lba % 75));
  return text;
}

}  // namespace

std::vector<unsigned char> ExpectedSectors(int32_t start, int32_t count) {
  std::vector<unsigned char> bytes(size_t(count) * cdda::kSectorBytes);
  for (int32_t s = 0; s < count; ++s) {
    for (int i = 0; i < cdda::kSectorBytes; ++i) {
      bytes[size_t(s) * cdda::kSectorBytes + size_t(i)] = SectorByte(start + s, i);
    }
  }
  return bytes;
}

TestDisc WriteTestDisc(const std::string& folder, const std::string& name, const std::vector<TestDiscTrack>& tracks) {
  TestDisc disc;
  disc.cue_path = folder + "/" + name + ".cue";
  disc.bin_path = folder + "/" + name + ".bin";
  std::ofstream bin(disc.bin_path, std::ios::binary | std::ios::trunc);
  std::ofstream cue(disc.cue_path, std::ios::binary | std::ios::trunc);
  cue << "FILE \"" << name << ".bin\" BINARY\r\n";
  int32_t lba = 0;
  int32_t file_sector = 0;
  int session = 1;
  for (size_t t = 0; t < tracks.size(); ++t) {
    char number[8];
    if (tracks[t].new_session) {
      std::snprintf(number, sizeof number, "%02d", ++session);
      cue << "REM SESSION " << number << "\r\n";
      lba += cdda::kSessionGapSectors;
    }
    std::snprintf(number, sizeof number, "%02d", int(t + 1));
    cue << "  TRACK " << number << (tracks[t].data ? " MODE1/2352" : " AUDIO") << "\r\n";
    cue << "    INDEX 01 " << Msf(file_sector) << "\r\n";
    disc.starts.push_back(lba);
    disc.lengths.push_back(tracks[t].sectors);
    const auto bytes = ExpectedSectors(lba, tracks[t].sectors);
    bin.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    lba += tracks[t].sectors;
    file_sector += tracks[t].sectors;
  }
  return disc;
}

}  // namespace testing_support
