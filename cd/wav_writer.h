// Writes 44100 Hz 16-bit stereo PCM into a RIFF/WAVE file with a 44-byte
// header.  The header is a zero placeholder until the writer is finished, when
// it is filled in with the sizes of the data actually written.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr uint32_t kWavWriterTag = 0x41554446;
constexpr int kWavHeaderBytes = 44;

struct WavWriter {
  uint32_t tag;  // kWavWriterTag while open; 0 once closed
  std::FILE* file;
  uint8_t header[kWavHeaderBytes];
  uint32_t data_size;  // bytes of sample data written so far
};

// Opens (truncates) the file and writes the placeholder header.
// Returns null when the file cannot be created or the header not written.
WavWriter* CreateWavFile(const char* path);

// Appends sample bytes.  Returns 1 when all were written, else 0; the data
// size counts what was actually written either way.
int WriteWavData(WavWriter* writer, const void* bytes, uint32_t count);

// Writes the final header and closes and frees the writer.  Returns 1 when the
// header reached the file and the file closed cleanly, else 0.
int FinishWavFile(WavWriter* writer);

// The 44-byte header for a data chunk of the given size.
void BuildWavHeader(uint32_t data_size, uint8_t header[kWavHeaderBytes]);
