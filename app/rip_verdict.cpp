#include "app/rip_verdict.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "app/destination_pane.h"
#include "app/product_name.h"
#include "common/message_format.h"
#include "common/strings.h"
#include "controls/dialog_frame.h"
#include "controls/status_bar.h"
#include "res/string_ids.h"
#include "rip/job_verification.h"

namespace {

UINT ProblemText(TrackProblem problem) {
  switch (problem) {
    case TrackProblem::kNotAccurate:
      return IDS_TRACK_NOT_ACCURATE;
    case TrackProblem::kSuspicious:
      return IDS_TRACK_SUSPICIOUS;
    case TrackProblem::kFailed:
      break;
  }
  return IDS_TRACK_FAILED;
}

// The message's text ("" for a rip with nothing to tell).
std::string RipVerdictMessage(const RipJob& job, const JobVerdictSummary& summary) {
  if (summary.problems.empty()) return "";
  std::string text = LoadStringText(IDS_RIP_NOT_PERFECT);
  for (const auto& [track, problem] : summary.problems) {
    char line[160];
    const RipTrack& rip_track = job.tracks[track];
    std::snprintf(line, sizeof line, "\n%02d %.*s: ", int(rip_track.number), kRipTitleCopyLength, rip_track.title);
    text += line;
    text += LoadStringText(ProblemText(problem));
  }
  return text;
}

}  // namespace

void ShowRipVerdict(DialogFrame* frame, const RipJob& job) {
  // A stopped job was not verified, and the tracks it never read did not fail.
  if (job.track_count <= 0 || job.stopped) return;
  const JobVerdictSummary summary = SummarizeJobVerdicts(job);
  if (job.verify.accuraterip && frame) {
    const std::string count =
        TextWithNumber(TextWithNumber(LoadStringText(IDS_TRACKS_ACCURATE), summary.accurate).c_str(), summary.tracks);
    SetStatusText(frame, count.c_str(), kSelectionStatusPart);
  }
  const std::string message = RipVerdictMessage(job, summary);
  if (message.empty()) return;
  ShowMessageBox(frame ? frame->window : nullptr, MessageBoxIcon::kWarning, kProductName, "%s", message.c_str());
}
