// Constants of Red Book CD digital audio and of the way this program reads it.
// Every other file takes them from here.
#pragma once

#include <cstdint>

namespace cdda {

constexpr int kSectorBytes = 2352;  // one audio sector (frame)
constexpr int kSectorsPerSecond = 75;
constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;
constexpr int kBitsPerSample = 16;
constexpr int kBytesPerSampleFrame = kChannels * kBitsPerSample / 8;         // 4
constexpr int kSampleFramesPerSector = kSectorBytes / kBytesPerSampleFrame;  // 588
constexpr int kBytesPerSecond = kSampleRate * kBytesPerSampleFrame;          // 176400

constexpr int kMaxTracks = 100;  // table slots; track numbers are 1 to 99
constexpr int kMaxTrackNumber = 99;
constexpr int kLeadOutTrackNumber = 0xAA;
constexpr int kMsfPregapFrames = 150;        // LBA 0 is MSF 00:02:00
constexpr uint8_t kControlDataTrack = 0x04;  // ADR/control bit of a data track
// From the end of one session to the first track of the next: the first
// session's lead-out (6750), the next lead-in (4500) and pregap (150).
constexpr int kSessionGapSectors = 11400;

constexpr int kSectorsPerRead = 27;                              // sectors asked for in one library call
constexpr int kReadBlockBytes = kSectorsPerRead * kSectorBytes;  // 63504

static_assert(kSampleFramesPerSector == 588, "CD-DA sector holds 588 sample frames");
static_assert(kReadBlockBytes == 63504, "read block capacity");

}  // namespace cdda
