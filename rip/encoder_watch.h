// Watches the processes of the external encoder from the main window's
// thread: timer 999 looks at them every 250 ms; when one has ended, its
// intermediate WAV is deleted, its output checked (a failed run's output
// gives way to the earlier file of its name, a good one gets its tags and
// replaces it), and the
// worker's wait for it released.  The watch owns a handle and the paths of every run it was
// handed, so a Cancel that releases the worker's wait cannot make it delete a
// WAV that a running encoder still reads.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win_owners.h"
#include "rip/encoder_slot.h"
#include "rip/track_tags.h"

// Posted by the worker to the watch window: start the timer on that window's
// own thread (a timer cannot be set on another thread's window).  Private,
// so the dialog manager's own WM_USER traffic cannot be taken for it.
constexpr UINT kMsgStartEncoderWatch = WM_APP + 1;
constexpr UINT_PTR kEncoderWatchTimer = 999;
constexpr UINT kEncoderWatchPeriodMs = 250;
// How long the program, as it ends, waits for encoders still running.
constexpr DWORD kEncoderExitWaitMs = 10000;

struct EncoderRunFiles {
  std::string wav_path;
  std::string output_path;
  std::string earlier_path;  // the earlier file of the output's name, set aside; "" for none
  TagFields tags;            // written into the output when the run succeeds; none: left untagged
  int track = -1;            // the job track the run makes
};

// Worker: hands over a started encoder process (the watch owns it from now
// on) with its files and the ticket of its slot, and asks `window` to start
// the watch.  False when the window cannot be told: the run is then not
// watched, and the caller releases the slot.
bool WatchEncoderRun(HWND window, KernelHandle process, EncoderRunFiles files, EncoderTicket ticket);

// Interface thread, on kMsgStartEncoderWatch.
bool StartEncoderWatch(HWND window);

struct EncoderWatchTick {
  int ended;             // runs that ended in this tick: the file list wants a refresh
  int failures_to_show;  // failed runs no job reports: the window shows the encoder error
};

// Interface thread, on each tick of timer 999 of `window`.  Stops the timer
// when no run is left.
EncoderWatchTick TickEncoderWatch(HWND window);

// Interface thread, around one rip job: a run of this job that fails while
// the job is open is reported by the job (the worker, which owns the tracks'
// results, after one of its waits, or the value of CloseEncoderJob); a run
// that fails later is shown by the tick.
void OpenEncoderJob();
// True when a run of the job failed and the worker has not taken it over.
bool CloseEncoderJob();

// Worker: the job tracks whose runs failed since it last asked, each once,
// in the order their ends were noticed.
std::vector<int> TakeFailedEncoderTracks();

// The user stopped a job that runs several encoders at a time: its running
// encoder processes end at once.  The watch then settles them as failed runs
// (no file left under a track's name, the WAV gone, an earlier file back),
// but reports no failure for them.  Returns how many were ended.
int StopEncoderRunsOfOpenJob();

// Runs handed over and not yet ended.
int WatchedEncoderRuns();

// Interface thread, when the program ends: gives the runs still watched up to
// `wait_ms` in all to end and settles those that did.  A run still going
// after that keeps its WAV (the next start-up removes it) and the earlier
// file of its output under its side name, as nobody can tell how it ends.
// Returns the runs left going.
int FinishEncoderRunsAtExit(DWORD wait_ms);
