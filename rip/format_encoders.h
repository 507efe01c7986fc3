// What the worker does with a track's WAV for each compressed output format.
#pragma once

#include <atomic>
#include <cstdint>

#include "cd/rip_error.h"
#include "rip/rip_job.h"

// The files of one encode.
struct EncodeFiles {
  const char* wav_path;
  const char* output_path;
  // Where the earlier file of the output's name waits while an encoder of
  // another maker writes under that name; "" when there was none.
  const char* earlier_path;
  int track;  // the job track being encoded
};

// Encodes the WAV into the output for `job`, giving up when `stop` is set.
// Returns 0 when the call went through (the output is complete, was given up
// after a stop, or, for an encoder that runs on, is being written), else the
// rip job's result code for the failure (such as kRipEncoderFailed).
using EncodeFn = int32_t (*)(const RipJob& job, const EncodeFiles& files, const std::atomic<bool>& stop);

// What an encode returns when it was given up after a stop without its
// output being complete: no error to show, and no output to keep.
constexpr int32_t kEncodeGivenUp = -1;

enum class EncoderKind {
  // The program writes the output itself, into the side file it is given;
  // the worker deletes the WAV afterwards.
  kInProcess,
  // A component writes under the track's name and is done when the call
  // returns; it deletes the WAV itself (not while it may still hold it).
  kComponent,
  // A program of the user's writes under the track's name and runs on after
  // the call; the encoder watch deletes the WAV and settles the earlier file
  // when it ends.
  kProcess,
};

struct FormatEncoder {
  const char* extension;  // appended to the output base path
  EncodeFn encode;        // null while the format has no encoder in this build
  EncoderKind kind;
};

// The encoder of a compressed format (OGG, WMA, MP3, FLAC, Opus), null for WAV.
const FormatEncoder* EncoderForFormat(int format);

// Puts `encode` in the table for a compressed format and returns the function
// it replaces (null for any other format, whose table stays as it is).  Only
// while no rip runs.
EncodeFn SetFormatEncode(int format, EncodeFn encode);
