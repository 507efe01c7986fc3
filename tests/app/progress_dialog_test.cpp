#include "app/progress_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "cd/cd_drives.h"
#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "controls/status_bar.h"
#include "res/progress_ids.h"
#include "rip/encoder_slot.h"
#include "rip/rip_worker.h"
#include "rip/wma_error_dialog.h"
#include "support/cd_test_disc.h"
#include "support/temp_dir.h"

namespace {

using cd_tests::TestDisc;
using testing_support::FileExists;
using testing_support::ReadWholeFile;
using testing_support::TempDir;

constexpr UINT kTickMs = 10;
constexpr DWORD kDeadlineMs = 60000;

std::string StatusText(HWND dialog) {
  char text[600] = "";
  GetDlgItemTextA(dialog, IDC_RIP_PROGRESS_STATUS, text, sizeof text);
  return text;
}

int ProgressPosition(HWND dialog) { return int(SendDlgItemMessageA(dialog, IDC_RIP_PROGRESS_BAR, PBM_GETPOS, 0, 0)); }

int ProgressRangeHigh(HWND dialog) {
  return int(SendDlgItemMessageA(dialog, IDC_RIP_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0));
}

// What the callbacks of one dialog run saw; the callbacks are plain functions.
struct Observed {
  RipJob* job = nullptr;
  int refreshes = 0;
  std::string status_at_refresh;
  int position_at_refresh = -1;
  int range_at_refresh = -1;
  bool window_alive_at_refresh = false;
  std::function<void(HWND dialog)> on_tick;                  // while the dialog is open
  std::function<void(HWND dialog, const MSG&)> on_progress;  // before the dialog sees it
  DWORD deadline = 0;
};
Observed g_seen;

void RecordRefresh() {
  ++g_seen.refreshes;
  const HWND dialog = g_seen.job->window;
  g_seen.window_alive_at_refresh = IsWindow(dialog) != 0;
  g_seen.status_at_refresh = StatusText(dialog);
  g_seen.position_at_refresh = ProgressPosition(dialog);
  g_seen.range_at_refresh = ProgressRangeHigh(dialog);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  const HWND dialog = g_seen.job != nullptr ? g_seen.job->window : nullptr;
  if (dialog == nullptr || !IsWindow(dialog)) return;
  if (GetTickCount() > g_seen.deadline) {
    ADD_FAILURE() << "the dialog is still open";
    RequestRipStop();
    EmptyEncoderSlot();
    g_seen.deadline = GetTickCount() + kDeadlineMs;
    return;
  }
  if (g_seen.on_tick) g_seen.on_tick(dialog);
}

LRESULT CALLBACK WatchMessages(int code, WPARAM wparam, LPARAM lparam) {
  const auto* msg = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && g_seen.job != nullptr && msg->hwnd == g_seen.job->window &&
      msg->message == WM_USER && msg->wParam == kRipMsgProgress && g_seen.on_progress) {
    g_seen.on_progress(msg->hwnd, *msg);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

class ProgressDialog : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SelectDrive(cd_tests::TestDriveIndex()), 1);
    ASSERT_EQ(ReadTrackTable(&table_), 1);
    ASSERT_EQ(table_.count, 5);
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    job_ = RipJob{};
    std::snprintf(job_.output_folder, sizeof job_.output_folder, "%s", dir_.path().c_str());
    request_ = ProgressDialogRequest{&job_,     &table_,       kFormatWav, 128,     "Album", "Artist",
                                     &ripping_, RecordRefresh, nullptr,    nullptr, nullptr};
    g_seen = Observed();
    g_seen.job = &job_;
    g_seen.deadline = GetTickCount() + kDeadlineMs;
  }
  void TearDown() override {
    EmptyEncoderSlot();
    while (IsRipRunning()) Sleep(10);
    g_seen = Observed();
    ShutdownCommonLibrary();
  }

  void AddTrack(int index, const char* title) {
    RipTrack& track = job_.tracks[job_.track_count++];
    track.track_index = index;
    std::snprintf(track.title, sizeof track.title, "%s", title);
  }
  int Run(DialogFrame* parent = nullptr) {
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchMessages, nullptr, GetCurrentThreadId());
    const int result = RunProgressDialog(parent, request_);
    UnhookWindowsHookEx(hook);
    KillTimer(nullptr, timer);
    return result;
  }
  // Runs the dialog, owned by `parent`, with the encoder slot filled: the
  // worker waits for the slot before each track, so it is held at the start.
  // `examine` runs once, on the first tick, and empties the slot to let the
  // job end.
  int RunExaminingOnce(DialogFrame* parent, const std::function<void(HWND dialog)>& examine) {
    FillEncoderSlot();
    bool examined = false;
    g_seen.on_tick = [&](HWND dialog) {
      if (examined) return;
      examined = true;
      examine(dialog);
    };
    const int result = Run(parent);
    g_seen.on_tick = nullptr;  // it refers to this frame
    EXPECT_TRUE(examined) << "the dialog was never open at a tick";
    return result;
  }
  size_t WavSize(const char* title) {
    return ReadWholeFile(dir_.File(std::string("Artist - ") + title + ".wav")).size();
  }

  TempDir dir_;
  TrackTable table_{};
  RipJob job_{};
  bool ripping_ = false;
  ProgressDialogRequest request_{};
};

TEST_F(ProgressDialog, RipsTheJobCompletedFromTheTrackTableAndEndsFinished) {
  AddTrack(3, "Four");
  AddTrack(1, "Two");
  EXPECT_EQ(Run(), 0);

  EXPECT_FALSE(ripping_);
  EXPECT_EQ(IsRipRunning(), 0);
  EXPECT_EQ(job_.format, kFormatWav);
  EXPECT_EQ(job_.rate, 128);
  EXPECT_STREQ(job_.album_title, "Album");
  EXPECT_EQ(job_.progress_range, 2 * kProgressPerTrack);
  EXPECT_EQ(job_.tracks[0].start, table_.entries[3].start);
  EXPECT_EQ(job_.tracks[0].length, table_.entries[3].length);
  EXPECT_EQ(job_.tracks[1].start, table_.entries[1].start);
  EXPECT_EQ(job_.tracks[1].length, table_.entries[1].length);
  EXPECT_EQ(WavSize("Four"), 44u + 2352u * size_t(TestDisc().lengths[3]));
  EXPECT_EQ(WavSize("Two"), 44u + 2352u * size_t(TestDisc().lengths[1]));

  EXPECT_EQ(g_seen.refreshes, 1);
  EXPECT_TRUE(g_seen.window_alive_at_refresh);
  EXPECT_EQ(g_seen.status_at_refresh, "Ripping finished");
  EXPECT_EQ(g_seen.range_at_refresh, 60);
  EXPECT_EQ(g_seen.position_at_refresh, 60);
}

TEST_F(ProgressDialog, ShowsTheTrackAndEncoderStateWhileRippingAndIgnoresOtherCodes) {
  AddTrack(0, "One");
  AddTrack(2, "Three");
  const int result = RunExaminingOnce(nullptr, [&](HWND dialog) {
    EXPECT_TRUE(ripping_);
    EXPECT_EQ(IsRipRunning(), 1);

    SendMessageA(dialog, WM_USER, kRipMsgProgress, RipProgressParam(1, 45));
    EXPECT_EQ(StatusText(dialog), "Processing \"Artist - Three\"");
    EXPECT_EQ(ProgressPosition(dialog), 45);
    SendMessageA(dialog, WM_USER, kRipMsgProgress, RipProgressParam(1, 500));
    EXPECT_EQ(ProgressPosition(dialog), 60);

    const std::pair<LPARAM, const char*> states[] = {{1, " WMA Encoder Starting..."},
                                                     {2, " WMA Encoder Running..."},
                                                     {4, " WMA Encoder Stopping..."},
                                                     {5, " WMA Encoder Stopped..."}};
    for (const auto& [state, suffix] : states) {
      SendMessageA(dialog, WM_USER, kRipMsgEncoderState, state);
      EXPECT_EQ(StatusText(dialog), std::string("Processing \"Artist - Three\"") + suffix);
    }
    SendMessageA(dialog, WM_USER, kRipMsgEncoderState, 3);
    EXPECT_EQ(StatusText(dialog), "Processing \"Artist - Three\"");

    // A track number the job does not have keeps the one shown.
    SendMessageA(dialog, WM_USER, kRipMsgProgress, RipProgressParam(7, 10));
    EXPECT_EQ(StatusText(dialog), "Processing \"Artist - Three\"");

    // DM_GETDEFID and unknown codes change nothing.
    SendMessageA(dialog, DM_GETDEFID, 0, 0);
    SendMessageA(dialog, WM_USER, 1500, 3);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(ripping_);
    EXPECT_EQ(StatusText(dialog), "Processing \"Artist - Three\"");
    EXPECT_EQ(ProgressPosition(dialog), 10);

    // Nothing in the dialog would follow a new size, so its border offers none.
    RECT outer;
    ASSERT_TRUE(GetWindowRect(dialog, &outer));
    const int middle = (outer.top + outer.bottom) / 2;
    for (const POINT edge : {POINT{outer.right - 1, middle}, POINT{outer.right - 1, outer.bottom - 1}}) {
      const LRESULT hit = SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y));
      EXPECT_NE(hit, HTRIGHT);
      EXPECT_NE(hit, HTBOTTOMRIGHT);
    }

    // What the encoder watch of the main window does when the process ends.
    EmptyEncoderSlot();
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(g_seen.status_at_refresh, "Ripping finished");
  EXPECT_TRUE(FileExists(dir_.File("Artist - Three.wav")));
}

// A window with a status bar of three parts, as the main window's, to own
// the dialog.
struct OwnerWithStatusBar {
  OwnerWithStatusBar() {
    frame->window = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
    if (frame->window) AddStatusBar(frame, 3, nullptr);
  }
  ~OwnerWithStatusBar() {
    if (frame->window) DestroyWindow(frame->window);
    frame->window = nullptr;
    FreeDialogFrame(frame);
  }
  OwnerWithStatusBar(const OwnerWithStatusBar&) = delete;
  OwnerWithStatusBar& operator=(const OwnerWithStatusBar&) = delete;

  bool ready() const { return frame->window != nullptr && frame->status_bar != nullptr; }
  const StatusProgressItem& band() const { return frame->status_bar->progress; }
  HWND status_bar() const { return frame->status_bar->window; }

  DialogFrame* frame = NewDialogFrame();
};

// The owner's status bar carries the same progress as a band while the
// dialog runs, and is emptied when it closes.
TEST_F(ProgressDialog, OwnersStatusBarShowsTheProgressBandUntilTheEnd) {
  AddTrack(0, "One");
  AddTrack(2, "Three");
  OwnerWithStatusBar owner;
  ASSERT_TRUE(owner.ready());
  const StatusProgressItem& band = owner.band();
  const int result = RunExaminingOnce(owner.frame, [&](HWND dialog) {
    SendMessageA(dialog, WM_USER, kRipMsgProgress, RipProgressParam(1, 45));
    EXPECT_EQ(band.percentage, 75) << "45 of 60";
    EXPECT_EQ(band.text, "Processing \"Artist - Three\"");
    const LRESULT shown = SendMessageA(owner.status_bar(), SB_GETTEXTLENGTHA, 1, 0);
    EXPECT_EQ(HIWORD(shown) & SBT_OWNERDRAW, SBT_OWNERDRAW);
    EmptyEncoderSlot();
  });
  EXPECT_EQ(result, 0);
  const LRESULT left = SendMessageA(owner.status_bar(), SB_GETTEXTLENGTHA, 1, 0);
  EXPECT_EQ(HIWORD(left) & SBT_OWNERDRAW, 0) << "the band is gone once the dialog has closed";
  EXPECT_EQ(LOWORD(left), 0);
}

// After the last read, the dialog and the owner's band say how many tracks
// are still being encoded; the bar stays where the reading left it.
TEST_F(ProgressDialog, SaysHowManyTracksAreLeftToEncodeAfterTheLastRead) {
  AddTrack(0, "One");
  AddTrack(2, "Three");
  OwnerWithStatusBar owner;
  ASSERT_TRUE(owner.ready());
  const StatusProgressItem& band = owner.band();
  const int result = RunExaminingOnce(owner.frame, [&](HWND dialog) {
    SendMessageA(dialog, WM_USER, kRipMsgProgress, RipProgressParam(1, 60));
    for (const LPARAM left : {2, 1}) {
      SendMessageA(dialog, WM_USER, kRipMsgEncodingLeft, left);
      const std::string text = "Finishing the encoding, tracks left: " + std::to_string(left);
      EXPECT_EQ(StatusText(dialog), text);
      EXPECT_EQ(band.text, text);
      EXPECT_EQ(band.percentage, 100);
      EXPECT_EQ(ProgressPosition(dialog), 60);
    }
    EmptyEncoderSlot();
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(g_seen.status_at_refresh, "Ripping finished");
}

// The worker's request for the WMA error dialog is answered by the progress
// dialog's own thread, with the error dialog over it.
TEST_F(ProgressDialog, ShowsTheWmaErrorDialogOverItselfWhenTheWorkerAsks) {
  AddTrack(0, "One");
  FillEncoderSlot();
  WmaErrorDialogRequest request;
  HWND error_owner = nullptr;
  bool asked = false;
  g_seen.on_tick = [&](HWND dialog) {
    if (HWND error = FindWindowA(nullptr, "WMA Encoder Error")) {
      error_owner = GetWindow(error, GW_OWNER);
      SendDlgItemMessageA(error, IDCANCEL, BM_CLICK, 0, 0);
      return;
    }
    if (asked) return;
    asked = true;
    request.answer = 7;
    SendMessageA(dialog, kWmaErrorDialogMessage, 0, reinterpret_cast<LPARAM>(&request));
    EmptyEncoderSlot();
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(request.answered);
  EXPECT_EQ(request.answer, 0);
  EXPECT_EQ(error_owner, job_.window);
}

class ProgressDialogCancel : public ProgressDialog, public testing::WithParamInterface<bool> {};

// Cancel (or the close box) during the 15000-sector track: the worker stops,
// stops waiting for the encoder, and the dialog stays until the worker ends.
TEST_P(ProgressDialogCancel, StopsTheWorkerAndWaitsForItsEnd) {
  const bool by_close_box = GetParam();
  AddTrack(4, "Long");
  AddTrack(1, "Two");
  bool cancelled = false;
  g_seen.on_progress = [&](HWND dialog, const MSG& msg) {
    if (cancelled || LOWORD(msg.lParam) == 0) return;
    ASSERT_EQ(HIWORD(msg.lParam), 0);
    cancelled = true;
    FillEncoderSlot();
    if (by_close_box) {
      SendMessageA(dialog, WM_CLOSE, 0, 0);
    } else {
      SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(ripping_);
    EXPECT_EQ(ProgressPosition(dialog), 0);
    EXPECT_FALSE(IsEncoderSlotFilled());
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(ripping_);
  EXPECT_EQ(IsRipRunning(), 0);
  EXPECT_EQ(g_seen.refreshes, 1);
  EXPECT_EQ(g_seen.status_at_refresh, "Ripping finished");
  EXPECT_LT(WavSize("Long"), 44u + 2352u * size_t(TestDisc().lengths[4]));
  EXPECT_FALSE(FileExists(dir_.File("Artist - Two.wav")));
}

INSTANTIATE_TEST_SUITE_P(CancelButtonAndCloseBox, ProgressDialogCancel, testing::Bool());

TEST_F(ProgressDialog, ClosesAtOnceWhenTheWorkerCannotStart) {
  // Another job's worker, held at its first track by a filled encoder slot.
  RipJob other{};
  other.track_count = 1;
  other.tracks[0] = {0, table_.entries[0].start, table_.entries[0].length, "Other", 0};
  std::snprintf(other.output_folder, sizeof other.output_folder, "%s", dir_.path().c_str());
  FillEncoderSlot();
  ASSERT_EQ(StartRip(&other), 1);

  AddTrack(0, "One");
  job_.result = 6;  // left by an earlier job; nothing here changes it
  EXPECT_EQ(Run(), 6);
  EXPECT_FALSE(ripping_);
  EXPECT_EQ(g_seen.refreshes, 0);
  EXPECT_FALSE(IsWindow(job_.window));

  request_.job = nullptr;
  EXPECT_EQ(RunProgressDialog(nullptr, request_), 0);
  EXPECT_FALSE(ripping_);

  EmptyEncoderSlot();
  while (IsRipRunning()) Sleep(10);
}

// When the dialog's window goes while the worker runs (its owner was
// destroyed), the run still ends only after the worker has.
TEST_F(ProgressDialog, LosingTheWindowStopsAndAwaitsTheWorker) {
  AddTrack(4, "Long");
  FillEncoderSlot();
  g_seen.on_tick = [&](HWND dialog) { DestroyWindow(dialog); };
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(ripping_);
  EXPECT_EQ(IsRipRunning(), 0);
  EXPECT_FALSE(IsEncoderSlotFilled());
}

TEST(CompleteRipJob, BoundsTextsAndGuardsTrackIndexes) {
  TrackTable table{};
  table.count = 2;
  table.entries[0] = {1, 0, 100};
  table.entries[1] = {2, 100, 250};
  RipJob job{};
  std::memset(&job.tracks, 'x', sizeof job.tracks);
  job.track_count = 4;
  const int32_t indexes[] = {1, -1, 2, 99};
  for (int i = 0; i < 4; ++i) job.tracks[i].track_index = indexes[i];
  const std::string long_artist(100, 'A');
  ProgressDialogRequest request{&job,    &table,  kFormatOgg, 160,     nullptr, long_artist.c_str(),
                                nullptr, nullptr, nullptr,    nullptr, nullptr};

  CompleteRipJob(request, HWND(0x1234));
  EXPECT_EQ(job.window, HWND(0x1234));
  EXPECT_EQ(job.progress_range, 120);
  EXPECT_EQ(job.format, kFormatOgg);
  EXPECT_STREQ(job.album_title, "");
  EXPECT_EQ(std::string(job.artist), long_artist.substr(0, kRipTitleCopyLength));
  EXPECT_EQ(job.tracks[0].start, 100);
  EXPECT_EQ(job.tracks[0].length, 250);
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(job.tracks[i].start, 0) << i;
    EXPECT_EQ(job.tracks[i].length, 0) << i;
  }
  EXPECT_EQ(job.mp3_encoder.program, "");
  EXPECT_EQ(job.mp3_encoder.parameters, "");
}

// A disc whose track 1 is data: its first audio track is tagged as number 2
// of 3, and the tags travel only when they are to be written.
TEST(CompleteRipJob, CarriesTheTagsOfEachTrack) {
  TrackTable table{};
  table.count = 2;
  table.toc_first_track = 1;
  table.toc_track_count = 3;
  table.entries[0] = {2, 1000, 100};
  table.entries[1] = {3, 1100, 100};
  RipJob job{};
  job.track_count = 1;
  job.tracks[0].track_index = 0;
  std::strcpy(job.tracks[0].title, "Rising");
  ProgressDialogRequest request{&job,    &table,  kFormatFlac, 160,     "Demo Album", "Corvale Players",
                                nullptr, nullptr, nullptr,     nullptr, nullptr};
  request.year = "1998";
  request.genre = "Rock";
  request.disc_id = "3a05d704";
  CompleteRipJob(request, nullptr);
  EXPECT_TRUE(TagFieldsForJobTrack(job, 0).empty());

  request.write_tags = true;
  CompleteRipJob(request, nullptr);
  std::vector<std::string> lines;
  for (const TagField& field : TagFieldsForJobTrack(job, 0)) lines.push_back(field.name + "=" + field.value);
  EXPECT_EQ(lines,
            (std::vector<std::string>{"TITLE=Rising", "ARTIST=Corvale Players", "ALBUM=Demo Album", "TRACKNUMBER=2",
                                      "TRACKTOTAL=3", "DATE=1998", "GENRE=Rock", "CDDB=3a05d704"}));
  EXPECT_TRUE(TagFieldsForJobTrack(job, 1).empty());
  EXPECT_TRUE(TagFieldsForJobTrack(job, -1).empty());
}

// Tags are Unicode: a title in the ANSI code page arrives as UTF-8.
TEST(CompleteRipJob, TagTextsAreConvertedFromTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, not " << GetACP();
  TrackTable table{};
  table.count = 1;
  table.entries[0] = {1, 0, 100};
  RipJob job{};
  job.track_count = 1;
  std::strcpy(job.tracks[0].title, "Caf\xe9 \x80");
  ProgressDialogRequest request{&job, &table, kFormatOgg, 160, "", "", nullptr, nullptr, nullptr, nullptr, nullptr};
  request.write_tags = true;
  CompleteRipJob(request, nullptr);
  const TagFields fields = TagFieldsForJobTrack(job, 0);
  ASSERT_FALSE(fields.empty());
  EXPECT_EQ(fields[0].value, "Caf\xc3\xa9 \xe2\x82\xac");
}

// The worker reads the encoder settings from the job, not from the settings
// that Preferences may change while it runs.
TEST(CompleteRipJob, CopiesTheMp3EncoderSettings) {
  TrackTable table{};
  RipJob job{};
  std::string program = "C:\\Tools\\lame.exe";
  std::string params = "-V2 \"%IN%\" \"%OUT%\"";
  ProgressDialogRequest request{&job,    &table,          kFormatMp3,     128,         "", "", nullptr,
                                nullptr, program.c_str(), params.c_str(), HWND(0x5678)};
  CompleteRipJob(request, nullptr);
  program = "changed";
  params = "changed";
  EXPECT_EQ(job.mp3_encoder.program, "C:\\Tools\\lame.exe");
  EXPECT_EQ(job.mp3_encoder.parameters, "-V2 \"%IN%\" \"%OUT%\"");
  EXPECT_EQ(job.mp3_encoder.watch_window, HWND(0x5678));

  job.track_count = cdda::kMaxTracks + 1;
  CompleteRipJob(request, nullptr);
  EXPECT_EQ(job.track_count, 0);
  EXPECT_EQ(job.progress_range, 0);
}

TEST(CompleteRipJob, KeepsTheEncoderThreadsWithinTheirRange) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 1}, {1, 1}, {3, 3}, {16, 16}, {17, 16}, {-4, 1}};
  for (const auto& [asked, kept] : cases) {
    TrackTable table{};
    RipJob job{};
    ProgressDialogRequest request{&job, &table, kFormatOgg, 128, "", "", nullptr, nullptr, nullptr, nullptr, nullptr};
    request.encoder_threads = asked;
    CompleteRipJob(request, nullptr);
    EXPECT_EQ(job.encoder_threads, kept) << asked;
  }
}

// Code page 932: a title of 81 bytes whose last character would need the
// 82nd ends before that character, never with half of it.
TEST(CopyRipTitle, CutsOnlyBetweenCharacters) {
  const auto shift_jis_lead = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
  const std::string a80(80, 'a');
  const std::string hyo = "\x95\x5C";
  const struct {
    std::string text;
    std::string copied;
  } cases[] = {
      {a80 + hyo, a80},
      {std::string(79, 'a') + hyo + hyo, std::string(79, 'a') + hyo},
      {std::string(81, 'a') + hyo, std::string(81, 'a')},
      {hyo + "b", hyo + "b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.copied.size());
    char field[kRipTitleSize];
    std::memset(field, 'x', sizeof field);
    CopyRipTitle(field, c.text.c_str(), shift_jis_lead);
    EXPECT_EQ(std::string(field), c.copied);
  }
}

TEST(FormatRipStatus, StaysWithinFieldsAndBuffer) {
  RipJob job{};
  std::memset(job.artist, 'A', sizeof job.artist);  // no terminator
  job.track_count = 1;
  std::memset(job.tracks[0].title, 'T', sizeof job.tracks[0].title);

  char text[400];
  FormatRipStatus(job, 0, " WMA Encoder Running...", text, sizeof text);
  EXPECT_EQ(std::string(text),
            "Processing \"" + std::string(84, 'A') + " - " + std::string(84, 'T') + "\" WMA Encoder Running...");

  char small[20];
  FormatRipStatus(job, 0, nullptr, small, sizeof small);
  EXPECT_EQ(std::string(small), std::string("Processing \"AAAAAAA"));

  FormatRipStatus(job, 1, nullptr, text, sizeof text);
  EXPECT_EQ(std::string(text), "Processing \"" + std::string(84, 'A') + " - \"");
}

}  // namespace
