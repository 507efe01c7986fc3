#include "rip/wav_file_encode.h"

#include "common/win_owners.h"

EncodeResult EncodeWavFile(const char* wav_path, const char* output_path, DWORD output_access,
                           const StreamEncode& encode) {
  if (!wav_path || !output_path) return EncodeResult::kFailed;
  WavFileSource source(wav_path);
  if (!source.IsOpen()) return EncodeResult::kWavUnreadable;
  WavStream wav;
  const WavCheck check = wav.Open(source);
  if (!check.ok()) {
    OutputDebugStringA(check.reason);
    return check.problem == WavProblem::kUnreadable || check.problem == WavProblem::kTruncated
               ? EncodeResult::kWavUnreadable
               : EncodeResult::kFailed;
  }
  FileHandle output(CreateFileA(output_path, output_access, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output) return EncodeResult::kOutputUnwritable;
  EncodeResult result = encode(wav, output.get());
  if (!CloseHandle(output.release()) && result == EncodeResult::kDone) result = EncodeResult::kOutputUnwritable;
  if (result != EncodeResult::kDone) DeleteFileA(output_path);
  return result;
}
