#include "rip/job_verification.h"

namespace {

constexpr DWORD kWaitStepMs = 100;

TrackVerdict NotChecked(const char* reason) {
  TrackVerdict verdict;
  verdict.not_checked = reason;
  return verdict;
}

TrackVerdict VerdictOf(const RipJob& job, int track) {
  if (!job.verify.accuraterip) return NotChecked("setting off");
  const RipTrackResult& result = job.results[track];
  if (!result.read) return NotChecked("not ripped");
  if (!job.accuraterip) return NotChecked("no lookup made");
  if (!job.accuraterip->Wait(0)) return NotChecked("timeout");
  const AccurateRipAnswer& answer = job.accuraterip->answer();
  TrackVerdict verdict;
  switch (answer.state) {
    case AccurateRipLookupState::kFailed:
      return NotChecked(answer.failure.c_str());
    case AccurateRipLookupState::kNotInDatabase:
      verdict.status = LogVerdict::kNotInDatabase;
      return verdict;
    case AccurateRipLookupState::kAnswered:
      break;
  }
  const int audio_index = job.accuraterip->AudioIndexOf(job.tracks[track].number);
  if (audio_index < 0) return NotChecked("not an audio track of the disc");
  const AccurateRipVerdict judged =
      JudgeTrack(answer.reply, audio_index, result.report.accuraterip_v1, result.report.accuraterip_v2);
  verdict.confidence = judged.confidence;
  switch (judged.status) {
    case AccurateRipStatus::kAccurate:
      verdict.status = LogVerdict::kAccurate;
      break;
    case AccurateRipStatus::kNotAccurate:
      verdict.status = LogVerdict::kNotAccurate;
      break;
    case AccurateRipStatus::kNotInDatabase:
      verdict.status = LogVerdict::kNotInDatabase;
      break;
  }
  return verdict;
}

}  // namespace

void JudgeJobTrack(RipJob& job, int track) { job.results[track].verdict = VerdictOf(job, track); }

void JudgeJobTracks(RipJob& job, const std::function<bool()>& keep_waiting) {
  if (job.verify.accuraterip && job.accuraterip) {
    for (DWORD waited = 0; waited < kAccurateRipWaitMs; waited += kWaitStepMs) {
      if (job.accuraterip->Wait(kWaitStepMs) || !keep_waiting()) break;
    }
  }
  for (int i = 0; i < job.track_count && i < cdda::kMaxTracks; ++i) JudgeJobTrack(job, i);
}

bool NeedsSecureReread(const RipJob& job, int track) {
  const RipTrackResult& result = job.results[track];
  return job.verify.secure_mode == kSecureWhenInexact && result.read && !result.reread &&
         result.verdict.status == LogVerdict::kNotAccurate;
}

bool TrackIsSuspicious(const RipTrackResult& result) {
  return result.error == kRipReadFailed || !result.report.suspicious_sectors.empty() ||
         (result.tested && result.test_crc != result.report.copy_crc);
}

JobVerdictSummary SummarizeJobVerdicts(const RipJob& job) {
  JobVerdictSummary summary;
  for (int i = 0; i < job.track_count && i < cdda::kMaxTracks; ++i) {
    const RipTrackResult& result = job.results[i];
    ++summary.tracks;
    if (result.verdict.status == LogVerdict::kAccurate) ++summary.accurate;
    if (!result.read) {
      summary.problems.emplace_back(i, TrackProblem::kFailed);
    } else if (TrackIsSuspicious(result)) {
      summary.problems.emplace_back(i, TrackProblem::kSuspicious);
    } else if (result.verdict.status == LogVerdict::kNotAccurate) {
      summary.problems.emplace_back(i, TrackProblem::kNotAccurate);
    }
  }
  return summary;
}
