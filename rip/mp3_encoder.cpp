#include "rip/mp3_encoder.h"

#include <shellapi.h>

#include <string>
#include <utility>

#include "common/win_owners.h"
#include "rip/encoder_command.h"
#include "rip/encoder_slot.h"
#include "rip/encoder_watch.h"
#include "rip/format_encoders.h"

namespace {

// The shell could otherwise show a message box from the worker thread, or
// hand the start to another thread that outlives the call.
constexpr ULONG kShellMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
constexpr INT_PTR kShellErrorLimit = 32;  // instance values up to this one are errors

KernelHandle StartEncoder(const std::string& program, const std::string& parameters) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = kShellMask;
  // No owner: nothing is shown, and the main window belongs to another thread.
  info.hwnd = nullptr;
  info.lpVerb = "open";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWNORMAL;
  const BOOL executed = ShellExecuteExA(&info);
  KernelHandle process(info.hProcess);
  if (!executed || reinterpret_cast<INT_PTR>(info.hInstApp) <= kShellErrorLimit) return KernelHandle();
  return process;
}

}  // namespace

int LaunchMp3Encoder(const RipJob& job, int track, const char* wav_path, const char* mp3_path, const char* earlier_path,
                     TagFields tags) {
  const ExternalEncoder& encoder = job.mp3_encoder;
  if (encoder.program.empty()) return kRipEncoderFailed;
  const std::string parameters = FillEncoderParameters(encoder.parameters.c_str(), wav_path, mp3_path);
  KernelHandle process = StartEncoder(encoder.program, parameters);
  // Without a process handle nobody could tell when the WAV is free again.
  if (!process) return kRipEncoderFailed;
  const EncoderTicket ticket = FillEncoderSlot();
  if (!WatchEncoderRun(encoder.watch_window, std::move(process),
                       {wav_path, mp3_path, earlier_path ? earlier_path : "", std::move(tags), track}, ticket)) {
    // Nobody watches it: the worker must not wait for it.  Its WAV stays for
    // the start-up cleanup, as the process may still read it, and the earlier
    // file stays under its side name.
    EmptyEncoderSlotFor(ticket);
  }
  return 0;
}
