// The message after a rip names the tracks that failed, unless the user
// stopped the job: the tracks it never read did not fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/rip_verdict.h"
#include "common/strings.h"
#include "support/recorded_boxes.h"

namespace {

using testing_support::RecordBox;
using testing_support::RecordedBoxes;

TEST(RipVerdict, NamesTracksThatFailedUnlessTheJobWasStopped) {
  const struct {
    const char* name;
    bool stopped;
    size_t boxes;
  } cases[] = {
      {"ended by itself", false, 1},
      {"stopped by the user", true, 0},
  };
  const MessageBoxFunction saved = SetMessageBoxFunction(RecordBox);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordedBoxes().clear();
    auto job = std::make_unique<RipJob>();
    job->track_count = 2;
    job->tracks[0].number = 1;
    job->tracks[1].number = 2;
    std::strcpy(job->tracks[1].title, "Never Read");
    job->results[0].read = true;
    job->stopped = c.stopped;
    ShowRipVerdict(nullptr, *job);
    ASSERT_EQ(RecordedBoxes().size(), c.boxes);
    if (c.boxes) {
      EXPECT_NE(RecordedBoxes()[0].text.find("02 Never Read: "), std::string::npos) << RecordedBoxes()[0].text;
    }
  }
  SetMessageBoxFunction(saved);
}

}  // namespace
