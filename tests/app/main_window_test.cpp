#include "app/main_window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/disc_lookup.h"
#include "app/help_language.h"
#include "app/main_toolbar.h"
#include "app/settings.h"
#include "app/startup_tables.h"
#include "app/tips_viewer.h"
#include "app/track_list.h"
#include "cd/cd_drives.h"
#include "cd/cddb_lookup.h"
#include "common/common_library.h"
#include "common/menu_localisation.h"
#include "common/strings.h"
#include "common/win_params.h"
#include "controls/dialog_resources.h"
#include "controls/frame_bars.h"
#include "controls/frame_help_pane.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "controls/list_view.h"
#include "controls/owner_menus.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "common/working_folder.h"
#include "rip/encoder_watch.h"
#include "support/cd_test_disc.h"
#include "support/cddb_test_server.h"
#include "support/encoder_watch_window.h"
#include "support/recorded_boxes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::FolderNames;
using testing_support::TempDir;

using testing_support::RecordBox;
using testing_support::ShownBox;
std::vector<ShownBox>& g_boxes = testing_support::RecordedBoxes();

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    g_boxes.clear();
    SetMessageBoxFunction(RecordBox);
    g_settings = AppSettings();
    g_settings.audiocd_drive_selected = cd_tests::TwelveTrackDriveIndex();
    g_settings.output_format = kFormatWav;
    g_settings.path = output_.path() + "\\";
    BeforeWindow();
    DialogRequest request;
    request.holder = &frame_;
    request.procedure = MainWindowProc;
    ASSERT_EQ(CreateDialogFromResource(request, IDD_MAIN_WINDOW), 1);
    window_ = MainWindowHandle();
    ASSERT_NE(window_, nullptr);
  }
  virtual void BeforeWindow() {}
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    FreeDialogFrame(frame_);
    SetMessageBoxFunction(nullptr);
  }

  void Command(int id, int notification = 0) { SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, notification), 0); }
  HWND TrackListWindow() { return GetDlgItem(window_, IDC_TRACK_LIST); }
  void SelectRows(const std::vector<int>& rows) {
    ListView_SetItemState(TrackListWindow(), -1, 0, LVIS_SELECTED);
    for (int row : rows) ListView_SetItemState(TrackListWindow(), row, LVIS_SELECTED, LVIS_SELECTED);
  }
  std::vector<int> JobTrackIndexes() {
    const RipJob* job = GetMainWindowView().job;
    std::vector<int> indexes;
    for (int i = 0; i < job->track_count; ++i) indexes.push_back(job->tracks[i].track_index);
    return indexes;
  }
  std::string Output(const char* title) { return output_.File(std::string("Unknown Artist - ") + title + ".wav"); }
  bool MenuEnabled(int id) {
    return !(GetMenuState(GetMenu(window_), UINT(id), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
  }

  TempDir output_;
  DialogFrame* frame_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, TwelveTrackDiscWithoutLookupListsGenericTitlesAndLengths) {
  ASSERT_EQ(TrackItemCount(), 12);
  EXPECT_STREQ(TrackTitleAt(0), "Track 01");
  EXPECT_STREQ(TrackTitleAt(11), "Track 12");
  EXPECT_STREQ(TrackLengthTextAt(4), " 3:33.33");
  EXPECT_STREQ(TrackLengthTextAt(0), " 0:00.53");
  char title[256];
  GetWindowTextA(window_, title, sizeof title);
  EXPECT_STREQ(title, "Corvale - Unknown Title (Unknown Artist)");
  EXPECT_TRUE(GetMainWindowView().cd_ready);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDC_RIP)));
  EXPECT_TRUE(MenuEnabled(IDM_RIP));
}

TEST_F(MainWindowTest, RipWithTwoSelectedRipsThoseInListOrder) {
  SelectRows({7, 2});
  Command(IDM_RIP);
  EXPECT_EQ(JobTrackIndexes(), (std::vector<int>{2, 7}));
  EXPECT_TRUE(FileExists(Output("Track 03")));
  EXPECT_TRUE(FileExists(Output("Track 08")));
  EXPECT_FALSE(FileExists(Output("Track 01")));
  EXPECT_EQ(GetMainWindowView().copied_tracks, 0);
  EXPECT_FALSE(GetMainWindowView().ripping);
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MainWindowTest, RipWithNothingSelectedRipsEveryTrack) {
  SelectRows({});
  Command(IDM_TRACK_RIP);
  ASSERT_EQ(JobTrackIndexes().size(), 12u);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(JobTrackIndexes()[size_t(i)], i);
  EXPECT_TRUE(FileExists(Output("Track 01")));
  EXPECT_TRUE(FileExists(Output("Track 12")));
}

TEST_F(MainWindowTest, RipInMp3WithoutAnEncoderSaysSoAndStartsNothing) {
  SendDlgItemMessageA(window_, IDC_FORMAT_COMBO, CB_SETCURSEL, kFormatMp3, 0);
  Command(IDC_FORMAT_COMBO, CBN_SELCHANGE);
  SelectRows({0});
  Command(IDM_RIP);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, "No MP3 Encoder has been defined. Please update the preferences settings.");
  EXPECT_EQ(g_boxes[0].caption, "MP3 Codec Error");
  EXPECT_FALSE(FileExists(Output("Track 01")));
}

// MP3 through the test encoder program, with the intermediate WAVs in a
// working folder of the test's own.
class MainWindowMp3Test : public MainWindowTest {
 protected:
  void SetUp() override {
    SetWorkingFolder(work_.path().c_str());
    ASSERT_TRUE(CreateDirectoryA(work_.File("temp").c_str(), nullptr));
    MainWindowTest::SetUp();
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    *std::strrchr(path, '\\') = '\0';
    g_settings.mp3_encoder = std::string(path) + "\\test_encoder.exe";
    SendDlgItemMessageA(window_, IDC_FORMAT_COMBO, CB_SETCURSEL, kFormatMp3, 0);
    Command(IDC_FORMAT_COMBO, CBN_SELCHANGE);
  }
  void TearDown() override {
    EXPECT_TRUE(testing_support::PumpUntil([] { return WatchedEncoderRuns() == 0; }));
    MainWindowTest::TearDown();
    SetWorkingFolder(nullptr);
  }
  int FileListCount() { return ListView_GetItemCount(GetDlgItem(window_, IDC_FILE_LIST)); }

  TempDir work_;
};

// The encoders' WAVs go, the file list gains their MP3s, and the watch's
// timer stops, all from the main window.  With one encoder thread the last
// track's encoder runs on after the job; with two the job waits for both.
TEST_F(MainWindowMp3Test, WatchDeletesTheWavsAndRefreshesTheFileListAfterTheJob) {
  const struct {
    int threads;
    std::vector<int> rows;
    std::vector<const char*> mp3s;
    int runs_after_the_job;
  } jobs[] = {{1, {0, 1}, {"Unknown Artist - Track 01.mp3", "Unknown Artist - Track 02.mp3"}, 1},
              {2, {2, 3}, {"Unknown Artist - Track 03.mp3", "Unknown Artist - Track 04.mp3"}, 0}};
  for (const auto& job : jobs) {
    SCOPED_TRACE(job.threads);
    g_settings.encoder_threads = job.threads;
    g_settings.mp3_params = "--wait-ms 1000 \"%IN%\" \"%OUT%\"";
    SelectRows(job.rows);
    Command(IDM_RIP);
    EXPECT_FALSE(GetMainWindowView().ripping);
    EXPECT_EQ(WatchedEncoderRuns(), job.runs_after_the_job);
    const int listed_at_the_end_of_the_job = FileListCount();
    ASSERT_TRUE(testing_support::PumpUntil([] { return WatchedEncoderRuns() == 0; }));
    EXPECT_EQ(FileListCount(), listed_at_the_end_of_the_job + job.runs_after_the_job);
    for (const char* mp3 : job.mp3s) EXPECT_TRUE(FileExists(output_.File(mp3))) << mp3;
    EXPECT_TRUE(FolderNames(work_.File("temp")).empty());
    EXPECT_FALSE(KillTimer(window_, kEncoderWatchTimer));
  }
  EXPECT_TRUE(g_boxes.empty());
}

// With one encoder thread an encoder that fails after its job has ended is
// still reported, once.
TEST_F(MainWindowMp3Test, FailureOfTheLastEncoderAfterTheJobIsShownOnce) {
  g_settings.encoder_threads = 1;
  g_settings.mp3_params = "--wait-ms 1000 --exit 2 \"%IN%\" \"%OUT%\"";
  SelectRows({0});
  Command(IDM_RIP);
  EXPECT_TRUE(g_boxes.empty());
  ASSERT_TRUE(testing_support::PumpUntil([] { return WatchedEncoderRuns() == 0; }));
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, "An internal encoder error has occurred.");
  EXPECT_FALSE(FileExists(output_.File("Unknown Artist - Track 01.mp3")));
  EXPECT_FALSE(FileExists(work_.File("temp\\corvale.wav")));
}

// With two the job waits for its encoders: the failure is reported once, by
// the job, and the track is named among those that failed.
TEST_F(MainWindowMp3Test, FailureOfAnEncoderWithTwoThreadsIsShownByTheJob) {
  g_settings.encoder_threads = 2;
  g_settings.mp3_params = "--wait-ms 1000 --fail-for \"Track 02\" \"%IN%\" \"%OUT%\"";
  SelectRows({0, 1});
  Command(IDM_RIP);
  EXPECT_EQ(WatchedEncoderRuns(), 0);
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(g_boxes[0].text, "An internal encoder error has occurred.");
  EXPECT_NE(g_boxes[1].text.find("Track 02"), std::string::npos) << g_boxes[1].text;
  EXPECT_EQ(g_boxes[1].text.find("Track 01"), std::string::npos) << g_boxes[1].text;
  const DWORD ended_at = GetTickCount();
  testing_support::PumpUntil([ended_at] { return GetTickCount() - ended_at >= 4 * kEncoderWatchPeriodMs; });
  EXPECT_EQ(g_boxes.size(), 2u);
  EXPECT_TRUE(FileExists(output_.File("Unknown Artist - Track 01.mp3")));
  EXPECT_FALSE(FileExists(output_.File("Unknown Artist - Track 02.mp3")));
  EXPECT_TRUE(FolderNames(work_.File("temp")).empty());
}

TEST_F(MainWindowTest, DriveChangeEmptiesTheTrackListUntilRefresh) {
  const int other = cd_tests::TestDriveIndex();
  SendDlgItemMessageA(window_, IDC_DRIVE_COMBO, CB_SETCURSEL, IndexParam(other), 0);
  Command(IDC_DRIVE_COMBO, CBN_SELCHANGE);
  EXPECT_EQ(TrackItemCount(), 0);
  EXPECT_EQ(g_settings.audiocd_drive_selected, other);
  Command(IDC_REFRESH_CD);
  EXPECT_EQ(TrackItemCount(), 5);
}

TEST_F(MainWindowTest, EditedTitleAndArtistNameTheFiles) {
  SetDlgItemTextA(window_, IDC_ARTIST, "AC/DC");
  SetDlgItemTextA(window_, IDC_ALBUM_TITLE, "Live");
  EXPECT_EQ(GetMainWindowView().artist, "AC/DC");
  EXPECT_EQ(GetMainWindowView().album_title, "Live");
  SelectRows({0});
  Command(IDM_RIP);
  EXPECT_TRUE(FileExists(output_.File("AC DC - Track 01.wav")));
}

TEST_F(MainWindowTest, CopyCommandFollowsTheFocusedListAndTypeAheadFindsTitles) {
  SetFocus(TrackListWindow());
  SetLastFocusedListId(IDC_TRACK_LIST);
  SelectRows({3, 4});
  Command(IDM_COPY);
  MSG msg;
  while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(GetMainWindowView().copied_tracks, 2);
}

// Row of the track list's current item, and the rows selected.
int CurrentTrackRow() {
  ListViewCtl* list = TrackListControl();
  return ListViewIndexOf(list, list->current_item);
}
std::vector<int> SelectedTrackRows(HWND list) {
  std::vector<int> rows;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    rows.push_back(row);
  }
  return rows;
}

TEST_F(MainWindowTest, TypeAheadMovesToTheNextTitleWithThatLetterAndWraps) {
  static DiscLookupResult result;
  result = DiscLookupResult();
  result.found = true;
  result.disc_title = "Band / Album";
  result.track_titles = {"Alpha",  "beta",  "apple", "Cherry", "Avocado", "Banana",
                         "7 Seas", "delta", "echo",  "fox",    "golf",    "hotel"};
  g_start_disc_lookup = [](HWND) { return true; };
  Command(IDC_REFRESH_CD);
  g_start_disc_lookup = nullptr;
  g_take_disc_lookup = [](DiscLookupResult* taken) {
    *taken = result;
    return true;
  };
  SendMessageA(window_, WM_USER, 1000, 0);
  g_take_disc_lookup = nullptr;
  ASSERT_STREQ(TrackTitleAt(0), "Alpha");
  ListViewSelect(TrackListControl(), ListViewItemAt(TrackListControl(), 0));

  EXPECT_TRUE(TypeAheadTrack('A'));
  EXPECT_EQ(CurrentTrackRow(), 2);  // "apple": case does not matter
  EXPECT_EQ(SelectedTrackRows(TrackListWindow()), (std::vector<int>{2}));
  EXPECT_TRUE(TypeAheadTrack('a'));
  EXPECT_EQ(CurrentTrackRow(), 4);
  EXPECT_TRUE(TypeAheadTrack('a'));  // past the last one: back to the top
  EXPECT_EQ(CurrentTrackRow(), 0);
  EXPECT_EQ(SelectedTrackRows(TrackListWindow()), (std::vector<int>{0}));

  EXPECT_FALSE(TypeAheadTrack('z'));
  EXPECT_EQ(CurrentTrackRow(), 0);
  EXPECT_EQ(SelectedTrackRows(TrackListWindow()), (std::vector<int>{0}));

  // Through the keyboard: a key press in the list does the same.
  SendMessageA(TrackListWindow(), WM_KEYDOWN, '7', 0);
  EXPECT_EQ(CurrentTrackRow(), 6);
  SendMessageA(TrackListWindow(), WM_KEYDOWN, 'B', 0);
  EXPECT_EQ(CurrentTrackRow(), 1);
  EXPECT_EQ(SelectedTrackRows(TrackListWindow()), (std::vector<int>{1}));
}

// The text of the track list's open label edit, or "(none)".
std::string TrackEditText(HWND list) {
  HWND edit = ListView_GetEditControl(list);
  char text[128] = "";
  if (edit) GetWindowTextA(edit, text, sizeof text);
  return edit ? text : "(none)";
}

void FinishTrackEdit(HWND list, const char* text) {
  HWND edit = ListView_GetEditControl(list);
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, text);
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(MainWindowTest, F6RenameThenAMouseEditOfAnotherTrackLeavesTheFirstTitle) {
  SetFocus(TrackListWindow());
  ListViewSelect(TrackListControl(), ListViewItemAt(TrackListControl(), 2));
  Command(IDM_TRACK_RENAME);
  EXPECT_EQ(TrackEditText(TrackListWindow()), "Track 03");
  FinishTrackEdit(TrackListWindow(), "Renamed with F6");
  EXPECT_STREQ(TrackTitleAt(2), "Renamed with F6");

  // A slow second click on a track starts an edit the list runs by itself.
  ASSERT_TRUE(ListView_EditLabel(TrackListWindow(), 5));
  EXPECT_NE(TrackEditText(TrackListWindow()), "Renamed with F6");
  FinishTrackEdit(TrackListWindow(), "Typed with the mouse");
  EXPECT_STREQ(TrackTitleAt(2), "Renamed with F6");
  EXPECT_STREQ(TrackTitleAt(5), "Track 06");
}

// Refresh CD frees the track items: neither an edit that was finished
// before it nor one still open may write into them afterwards.
TEST_F(MainWindowTest, RenameAfterRefreshCdNamesOnlyTheNewTrack) {
  SetFocus(TrackListWindow());
  ListViewSelect(TrackListControl(), ListViewItemAt(TrackListControl(), 2));
  Command(IDM_TRACK_RENAME);
  FinishTrackEdit(TrackListWindow(), "Before refresh");
  Command(IDC_REFRESH_CD);
  ASSERT_STREQ(TrackTitleAt(2), "Track 03");
  EXPECT_EQ(TrackListControl()->edit_buffer, nullptr);
  ASSERT_TRUE(ListView_EditLabel(TrackListWindow(), 4));
  EXPECT_NE(TrackEditText(TrackListWindow()), "Before refresh");
  FinishTrackEdit(TrackListWindow(), "By mouse");

  // An F6 edit still open when the disc is read again.
  ListViewSelect(TrackListControl(), ListViewItemAt(TrackListControl(), 3));
  Command(IDM_TRACK_RENAME);
  ASSERT_EQ(TrackEditText(TrackListWindow()), "Track 04");
  Command(IDC_REFRESH_CD);
  EXPECT_EQ(TrackListControl()->edit_buffer, nullptr);
  if (ListView_GetEditControl(TrackListWindow())) FinishTrackEdit(TrackListWindow(), "Too late");

  ListViewSelect(TrackListControl(), ListViewItemAt(TrackListControl(), 3));
  Command(IDM_TRACK_RENAME);
  FinishTrackEdit(TrackListWindow(), "After refresh");
  for (int row = 0; row < TrackItemCount(); ++row) {
    char generic[16];
    std::snprintf(generic, sizeof generic, "Track %02d", row + 1);
    EXPECT_STREQ(TrackTitleAt(row), row == 3 ? "After refresh" : generic) << row;
  }
}

// A button also tells its parent about focus changes; only a click acts.
TEST_F(MainWindowTest, RipAndRefreshButtonsActOnlyOnAClick) {
  auto button_notice = [this](int id, WORD code) {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(window_, id)));
  };
  SelectRows({0});
  SetDlgItemTextA(window_, IDC_ALBUM_TITLE, "Typed");
  for (WORD code : {WORD(BN_SETFOCUS), WORD(BN_KILLFOCUS), WORD(BN_DOUBLECLICKED)}) {
    button_notice(IDC_RIP, code);
    button_notice(IDC_REFRESH_CD, code);
  }
  EXPECT_FALSE(FileExists(Output("Track 01"))) << "a focus change started a rip";
  EXPECT_EQ(GetMainWindowView().album_title, "Typed") << "a focus change refreshed the disc";

  button_notice(IDC_RIP, BN_CLICKED);
  EXPECT_TRUE(FileExists(Output("Track 01")));
  button_notice(IDC_REFRESH_CD, BN_CLICKED);
  EXPECT_EQ(GetMainWindowView().album_title, "Unknown Title");
}

TEST_F(MainWindowTest, BrowseButtonIconIsFreedWithTheWindow) {
  const auto icon =
      reinterpret_cast<HICON>(SendDlgItemMessageA(window_, IDC_BROWSE_FOLDER, BM_GETIMAGE, IMAGE_ICON, 0));
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyWindow(window_);
  EXPECT_FALSE(GetIconInfo(icon, &info)) << "the icon outlived its window";
}

TEST_F(MainWindowTest, WmUserCodesThatAreNotOursDoNothing) {
  // DM_GETDEFID shares the number: the dialog manager must still answer it.
  const LRESULT default_id = SendMessageA(window_, DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(default_id), DC_HASDEFID);
  // A lookup end while none is pending changes nothing.
  SetDlgItemTextA(window_, IDC_ARTIST, "Typed");
  SendMessageA(window_, WM_USER, 1000, 0);
  EXPECT_EQ(GetMainWindowView().artist, "Typed");
  EXPECT_EQ(TrackItemCount(), 12);
}

DiscLookupResult g_lookup_result;
bool g_lookup_result_waiting = false;

bool TakeTestLookup(DiscLookupResult* result) {
  if (!g_lookup_result_waiting) return false;
  *result = g_lookup_result;
  g_lookup_result_waiting = false;
  return true;
}

class MainWindowLookupTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    g_take_disc_lookup = TakeTestLookup;
    g_lookup_result = DiscLookupResult();
    g_lookup_result.found = true;
    g_lookup_result.disc_title = "Some Band / Some Album";
    for (int i = 0; i < 12; ++i) g_lookup_result.track_titles.push_back("Song " + std::to_string(i + 1));
  }
  void TearDown() override {
    g_start_disc_lookup = nullptr;
    g_take_disc_lookup = nullptr;
    MainWindowTest::TearDown();
  }
  void StartLookup() {
    g_start_disc_lookup = [](HWND) { return true; };
    Command(IDC_REFRESH_CD);
    g_start_disc_lookup = nullptr;
    ASSERT_TRUE(GetMainWindowView().lookup_pending);
  }
  void EndLookup() {
    g_lookup_result_waiting = true;
    SendMessageA(window_, WM_USER, 1000, 0);
    EXPECT_FALSE(GetMainWindowView().lookup_pending);
  }
};

TEST_F(MainWindowLookupTest, ResultSplitsTheDiscTitleAndNamesTheTracks) {
  StartLookup();
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window_, IDC_REFRESH_CD)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window_, IDC_DRIVE_COMBO)));
  EndLookup();
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDC_REFRESH_CD)));
  EXPECT_EQ(GetMainWindowView().artist, "Some Band");
  EXPECT_EQ(GetMainWindowView().album_title, "Some Album");
  EXPECT_STREQ(TrackTitleAt(0), "Song 1");
  char title[256];
  GetWindowTextA(window_, title, sizeof title);
  EXPECT_STREQ(title, "Corvale - Some Album (Some Band)");
}

TEST_F(MainWindowLookupTest, AnArtistWithASlashKeepsIt) {
  g_lookup_result.disc_title = "AC/DC / Back in Black";
  StartLookup();
  EndLookup();
  EXPECT_EQ(GetMainWindowView().artist, "AC/DC");
  EXPECT_EQ(GetMainWindowView().album_title, "Back in Black");
}

TEST_F(MainWindowLookupTest, TypedTextsAndRenamedTracksAreKept) {
  StartLookup();
  SetDlgItemTextA(window_, IDC_ALBUM_TITLE, "My Own Album");
  ListViewCtl* list = TrackListControl();
  ASSERT_NE(list, nullptr);
  auto* item = static_cast<TrackItem*>(ListViewItemAt(list, 1));
  ASSERT_NE(item, nullptr);
  std::free(item->title);
  item->title = static_cast<char*>(std::malloc(16));
  std::strcpy(item->title, "Renamed");
  EndLookup();
  EXPECT_EQ(GetMainWindowView().album_title, "My Own Album");
  EXPECT_EQ(GetMainWindowView().artist, "Some Band");
  EXPECT_STREQ(TrackTitleAt(0), "Song 1");
  EXPECT_STREQ(TrackTitleAt(1), "Renamed");
  EXPECT_STREQ(TrackTitleAt(2), "Song 3");
}

TEST_F(MainWindowLookupTest, AResultForADiscNoLongerShownIsDropped) {
  StartLookup();
  // A drive change while the lookup runs is refused; a device change waits.
  SendMessageA(window_, WM_DEVICECHANGE, 0x8000, 0);
  g_start_disc_lookup = [](HWND) { return false; };
  EndLookup();
  g_start_disc_lookup = nullptr;
  // The disc was read again after the lookup ended: the old result is not applied.
  EXPECT_EQ(GetMainWindowView().artist, "Unknown Artist");
  EXPECT_STREQ(TrackTitleAt(0), "Track 01");
}

TEST_F(MainWindowLookupTest, TitlesThatDoNotFitTheDiscAreNotTaken) {
  g_lookup_result.track_titles.pop_back();
  StartLookup();
  EndLookup();
  EXPECT_EQ(GetMainWindowView().album_title, "Some Album");
  EXPECT_STREQ(TrackTitleAt(0), "Track 01");
}

TEST_F(MainWindowLookupTest, EmptyOrBlankRecordTitlesGetTheTrackNumber) {
  g_lookup_result.track_titles[1] = "";
  g_lookup_result.track_titles[4] = " \t ";
  StartLookup();
  EndLookup();
  EXPECT_STREQ(TrackTitleAt(0), "Song 1");
  EXPECT_STREQ(TrackTitleAt(1), "Track 02");
  EXPECT_STREQ(TrackTitleAt(4), "Track 05");
  EXPECT_STREQ(TrackTitleAt(5), "Song 6");
}

TEST_F(MainWindowLookupTest, AnswersMessagesWhileTheServerStalls) {
  testing_support::CddbTestServer server([](const std::string&) {
    return testing_support::ServerAnswer{testing_support::ServerAnswer::kStall, ""};
  });
  ASSERT_TRUE(server.ok());
  ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", "2500"));
  SetCddbProxyHost(1, "127.0.0.1");
  SetCddbProxyPort(2, server.port());
  InstallCddbDiscLookup();
  Command(IDC_REFRESH_CD);
  ASSERT_TRUE(GetMainWindowView().lookup_pending);

  // Another thread asks the window what a user's click would; this thread
  // runs the message loop until the lookup ends.
  std::atomic<bool> done{false};
  std::atomic<bool> asker_finished{false};
  std::atomic<long> slowest_ms{0};
  std::atomic<int> answered{0};
  const HWND window = window_;
  std::thread asker([&] {
    while (!done) {
      const DWORD start = GetTickCount();
      DWORD_PTR ignored = 0;
      if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored)) ++answered;
      const long took = long(GetTickCount() - start);
      if (took > slowest_ms) slowest_ms = took;
      Sleep(20);
    }
    asker_finished = true;
  });
  const auto pump = [] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(2);
  };
  const DWORD start = GetTickCount();
  while (GetMainWindowView().lookup_pending && GetTickCount() - start < 20000) pump();
  // The asker may be inside a send right now: keep answering until it stops,
  // or the join would make this thread the one that stalls.
  done = true;
  while (!asker_finished) pump();
  asker.join();
  SetCddbProxyHost(1, nullptr);
  SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", nullptr);

  EXPECT_FALSE(GetMainWindowView().lookup_pending) << "the lookup never ended";
  EXPECT_GT(answered.load(), 5);
  // A window that waited on the server would keep a sender waiting about as
  // long as the server stalls (2.5 s). The bound is far below that but loose
  // enough for a loaded machine: this checks blocking, not speed.
  EXPECT_LT(slowest_ms.load(), 1000);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDC_REFRESH_CD)));
  EXPECT_EQ(GetMainWindowView().artist, "Unknown Artist");
  EXPECT_STREQ(TrackTitleAt(0), "Track 01");
}

// The window as the program starts it, with its bars, and the toolbar
// switched off in the settings.
class MainWindowToolbarTest : public MainWindowTest {
 protected:
  void BeforeWindow() override {
    saved_services_ = FrameServicesTable();
    InstallFrameBars();
    g_settings.view = 0;
    frame_ = NewDialogFrame();
    AddMainToolbar(frame_);
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    FrameServicesTable() = saved_services_;
  }
  bool ToolbarShown() { return (GetWindowLongA(GetDlgItem(window_, IDC_TOOLBAR), GWL_STYLE) & WS_VISIBLE) != 0; }
  bool ToolbarMarked() { return (GetMenuState(GetMenu(window_), IDM_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED) != 0; }
  bool ButtonEnabled(int command) {
    return SendDlgItemMessageA(window_, IDC_TOOLBAR, TB_ISBUTTONENABLED, WPARAM(command), 0) != 0;
  }
  FrameServices saved_services_ = {};
};

TEST_F(MainWindowToolbarTest, StartsAsTheViewSettingSaysAndFollowsTheCommandStates) {
  ASSERT_NE(GetDlgItem(window_, IDC_TOOLBAR), nullptr);
  EXPECT_FALSE(ToolbarShown());
  EXPECT_FALSE(ToolbarMarked());
  Command(IDM_TOOLBAR);
  EXPECT_TRUE(ToolbarShown());
  EXPECT_TRUE(ToolbarMarked());
  EXPECT_EQ(g_settings.view, 1);

  EXPECT_TRUE(ButtonEnabled(IDM_RIP)) << "a disc is in the drive";
  EXPECT_EQ(ButtonEnabled(IDC_REFRESH_CD), !GetMainWindowView().lookup_pending);
  EXPECT_FALSE(ButtonEnabled(IDM_CUT));
  EXPECT_FALSE(ButtonEnabled(IDM_PASTE));
  EXPECT_TRUE(ButtonEnabled(IDM_HELP));

  Command(IDM_TOOLBAR);
  EXPECT_FALSE(ToolbarShown());
  EXPECT_EQ(g_settings.view, 0);
}

// The program finds "lang\\lang_xx.dat" below its working folder.
class MainWindowLanguageTest : public MainWindowTest {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(MAX_PATH, previous_directory_);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    *std::strrchr(exe, '\\') = '\0';
    ASSERT_TRUE(SetCurrentDirectoryA(exe));
    MainWindowTest::SetUp();
  }
  void TearDown() override {
    Command(IDM_LANG_ENGLISH);
    MainWindowTest::TearDown();
    SetCurrentDirectoryA(previous_directory_);
  }
  std::string Text(int id) {
    char text[256] = "";
    GetDlgItemTextA(window_, id, text, sizeof text);
    return text;
  }
  std::string MenuText(int position) {
    char text[256] = "";
    GetMenuStringA(GetMenu(window_), UINT(position), text, sizeof text, MF_BYPOSITION);
    return text;
  }
  char previous_directory_[MAX_PATH] = "";
};

TEST_F(MainWindowLanguageTest, LanguagesWithoutAFileLeaveTheMenu) {
  EXPECT_NE(GetMenuState(GetMenu(window_), IDM_LANG_GERMAN, MF_BYCOMMAND), UINT(-1));
  EXPECT_NE(GetMenuState(GetMenu(window_), IDM_LANG_FRENCH, MF_BYCOMMAND), UINT(-1));
  EXPECT_NE(GetMenuState(GetMenu(window_), IDM_LANG_ENGLISH, MF_BYCOMMAND), UINT(-1));
  EXPECT_EQ(GetMenuState(GetMenu(window_), IDM_LANG_KOREAN, MF_BYCOMMAND), UINT(-1));
}

// An album called "Help" must not become "Hilfe" in its file names.
TEST_F(MainWindowLanguageTest, SwitchingLeavesTheUsersTextsAlone) {
  SetDlgItemTextA(window_, IDC_ALBUM_TITLE, "Help");
  SetDlgItemTextA(window_, IDC_ARTIST, "Copy");
  SetDlgItemTextA(window_, IDC_OUTPUT_FOLDER, "Delete");
  Command(IDM_LANG_GERMAN);
  Command(IDM_LANG_FRENCH);
  EXPECT_EQ(Text(IDC_ALBUM_TITLE), "Help");
  EXPECT_EQ(Text(IDC_ARTIST), "Copy");
  EXPECT_EQ(Text(IDC_OUTPUT_FOLDER), "Delete");
  EXPECT_EQ(GetMainWindowView().album_title, "Help");
  EXPECT_EQ(GetMainWindowView().artist, "Copy");
  EXPECT_EQ(Text(IDC_REFRESH_CD), "Relire le CD");
}

// Back in English after a language, a window opened anew is English too.
TEST_F(MainWindowLanguageTest, WindowOpenedAfterTheWayBackToEnglishIsEnglish) {
  Command(IDM_LANG_FRENCH);
  Command(IDM_LANG_ENGLISH);
  DestroyWindow(window_);
  DialogRequest request;
  request.holder = &frame_;
  request.procedure = MainWindowProc;
  ASSERT_EQ(CreateDialogFromResource(request, IDD_MAIN_WINDOW), 1);
  window_ = MainWindowHandle();
  EXPECT_EQ(Text(IDC_REFRESH_CD), "Refresh CD");
  EXPECT_EQ(Text(IDC_SOURCE_GROUP), "Source:");
}

// The help and tips documents follow the language chosen in the menu.
TEST_F(MainWindowLanguageTest, HelpAndTipsFollowTheLanguage) {
  InstallHelpViewer();
  ASSERT_EQ(SetFrameHelp(frame_, kMainHelpPage, IDM_HELP, HelpTopicForId), 1);
  CreateTipsViewer(g_settings);
  ASSERT_NE(TipsDocument(), nullptr);
  const auto help_path = [this] { return static_cast<HelpDoc*>(frame_->help_pane)->document_path; };

  Command(IDM_LANG_GERMAN);
  EXPECT_NE(help_path().find("\\lang\\help_de.htm"), std::string::npos) << help_path();
  EXPECT_NE(TipsDocument()->document_path.find("\\lang\\tips_de.htm"), std::string::npos);
  Command(IDM_LANG_FRENCH);
  EXPECT_NE(help_path().find("\\lang\\help_fr.htm"), std::string::npos) << help_path();
  EXPECT_NE(TipsDocument()->document_path.find("\\lang\\tips_fr.htm"), std::string::npos);
  Command(IDM_LANG_ENGLISH);
  EXPECT_EQ(help_path().find("\\lang\\"), std::string::npos) << help_path();

  ReleaseTipsViewer();
  frame_->help_topic_of = nullptr;
  ReleaseHelpPane(frame_->help_pane);
  frame_->help_pane = nullptr;
  ReleaseSharedHelpFrames();
  FrameServicesTable() = FrameServices();
}

// Every item of the window's menu, depth first: what it shows and does.
struct ShownItem {
  int command;
  std::string text;
  bool checked;
  bool operator==(const ShownItem& other) const {
    return command == other.command && text == other.text && checked == other.checked;
  }
};

void CollectShown(HMENU menu, bool drawn, std::vector<ShownItem>* items) {
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    char text[256] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(menu, UINT(position), TRUE, &info));
    if ((info.fType & MFT_SEPARATOR) && !info.hSubMenu) continue;
    std::string shown = text;
    if (drawn) {
      ASSERT_TRUE(info.fType & MFT_OWNERDRAW) << "item " << position << " is no longer drawn by us";
      const auto* record = reinterpret_cast<const MenuItemRecord*>(info.dwItemData);
      ASSERT_NE(record, nullptr);
      shown = record->Shown();
    }
    items->push_back({info.hSubMenu ? -1 : int(info.wID), shown, (info.fState & MFS_CHECKED) != 0});
    if (info.hSubMenu) CollectShown(info.hSubMenu, drawn, items);
  }
}

// What the menu resource says in the current language, with the window's
// language items and toolbar mark.
std::vector<ShownItem> ExpectedMenu(HMENU window_menu) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MAIN_MENU));
  LocaliseMenu(menu);
  for (int id : {IDM_LANG_ARABIC, IDM_LANG_CHINESE_SIMPLIFIED, IDM_LANG_CHINESE_TRADITIONAL, IDM_LANG_CZECH,
                 IDM_LANG_DUTCH, IDM_LANG_GREEK, IDM_LANG_ITALIAN, IDM_LANG_JAPANESE, IDM_LANG_KOREAN,
                 IDM_LANG_PORTUGUESE, IDM_LANG_SPANISH, IDM_LANG_SWEDISH, IDM_LANG_GERMAN, IDM_LANG_FRENCH}) {
    if (GetMenuState(window_menu, UINT(id), MF_BYCOMMAND) == UINT(-1)) DeleteMenu(menu, UINT(id), MF_BYCOMMAND);
  }
  CheckMenuItem(menu, IDM_TOOLBAR, MenuCheckFlags(g_settings.view));
  std::vector<ShownItem> items;
  CollectShown(menu, false, &items);
  DestroyMenu(menu);
  return items;
}

TEST_F(MainWindowLanguageTest, EveryMenuItemIsShownInTheChosenLanguage) {
  const std::vector<ShownItem> english = ExpectedMenu(GetMenu(window_));
  for (int language : {IDM_LANG_GERMAN, IDM_LANG_FRENCH}) {
    Command(language);
    std::vector<ShownItem> shown;
    CollectShown(GetMenu(window_), true, &shown);
    const std::vector<ShownItem> expected = ExpectedMenu(GetMenu(window_));
    ASSERT_EQ(shown.size(), expected.size()) << language;
    ASSERT_EQ(expected.size(), english.size());
    int translated = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].command, expected[i].command) << "item " << i;
      EXPECT_EQ(shown[i].text, expected[i].text) << "item " << i << " in language " << language;
      EXPECT_EQ(shown[i].checked, expected[i].checked) << "item " << i;
      if (expected[i].text != english[i].text) ++translated;
    }
    EXPECT_GT(translated, int(shown.size()) / 2) << "most items have a translation";
  }
}

TEST_F(MainWindowLanguageTest, SwitchingRelabelsControlsMenusAndColumnsAndBack) {
  Command(IDM_LANG_GERMAN);
  EXPECT_EQ(Text(IDC_REFRESH_CD), "CD neu einlesen");
  EXPECT_EQ(MenuText(0), "&Datei");
  Command(IDM_LANG_FRENCH);
  EXPECT_EQ(Text(IDC_REFRESH_CD), "Relire le CD");
  EXPECT_EQ(MenuText(0), "&Fichier");
  EXPECT_EQ(Text(IDC_SOURCE_GROUP), "Source :");
  Command(IDM_LANG_ENGLISH);
  EXPECT_EQ(Text(IDC_REFRESH_CD), "Refresh CD");
  EXPECT_EQ(MenuText(0), "&File");
  EXPECT_EQ(Text(IDC_SOURCE_GROUP), "Source:");
}

}  // namespace

namespace {

TEST(TrackMenu, RenameAndCopyNeedASelectionRipAndRefreshNeedIdleness) {
  HMENU menus = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_TRACK_LIST_MENU));
  ASSERT_NE(menus, nullptr);
  HMENU menu = GetSubMenu(menus, 0);
  auto enabled = [menu](int id) { return !(GetMenuState(menu, UINT(id), MF_BYCOMMAND) & MF_GRAYED); };

  PrepareTrackMenu(menu, 0, TrackMenuState{false, false});
  EXPECT_FALSE(enabled(IDM_TRACK_RENAME));
  EXPECT_FALSE(enabled(IDM_TRACK_COPY));
  EXPECT_TRUE(enabled(IDM_TRACK_RIP));
  EXPECT_TRUE(enabled(IDM_TRACK_REFRESH_CD));

  PrepareTrackMenu(menu, 2, TrackMenuState{false, true});
  EXPECT_TRUE(enabled(IDM_TRACK_RENAME));
  EXPECT_TRUE(enabled(IDM_TRACK_COPY));
  EXPECT_TRUE(enabled(IDM_TRACK_RIP));
  EXPECT_FALSE(enabled(IDM_TRACK_REFRESH_CD));

  PrepareTrackMenu(menu, 1, TrackMenuState{true, false});
  EXPECT_FALSE(enabled(IDM_TRACK_RIP));
  EXPECT_FALSE(enabled(IDM_TRACK_REFRESH_CD));
  DestroyMenu(menus);
}

}  // namespace
