#include "app/destination_pane.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/settings.h"
#include "app/track_list.h"
#include "support/cd_test_disc.h"
#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "common/strings.h"
#include "controls/frame_services.h"
#include "controls/list_view.h"
#include "controls/status_bar.h"
#include "files/file_list.h"
#include "files/file_names.h"
#include "files/shell_ops.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "support/literal_names.h"
#include "support/recorded_boxes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

using testing_support::RecordBox;
using testing_support::ShownBox;
std::vector<ShownBox>& g_boxes = testing_support::RecordedBoxes();

std::string ListBytes(const char* list) {
  if (!list) return std::string();
  const char* end = list;
  while (*end) end += std::strlen(end) + 1;
  return std::string(list, size_t(end - list) + 1);
}

struct ShellRequest {
  UINT operation;
  FILEOP_FLAGS flags;
  std::string from;
  std::string to;
};
std::vector<ShellRequest> g_shell;
int g_shell_failure = 0;  // non-zero: every request fails with it and does nothing

// Records each request and carries it out without the shell's boxes (and
// deletes for good, so no test touches a recycle bin).
int RecordAndRunSilently(SHFILEOPSTRUCTA* request) {
  g_shell.push_back({request->wFunc, request->fFlags, ListBytes(request->pFrom), ListBytes(request->pTo)});
  if (g_shell_failure) return g_shell_failure;
  // Whether a shell honours the numbering is its own affair; the request is what counts.
  if (request->fFlags & FOF_RENAMEONCOLLISION) return 0;
  SHFILEOPSTRUCTA silent = *request;
  // Every flag fits the 16-bit field: only bits are cleared or set.
  silent.fFlags = static_cast<FILEOP_FLAGS>((request->fFlags & ~FOF_ALLOWUNDO) | FOF_NOCONFIRMATION | FOF_NOERRORUI);
  return SHFileOperationA(&silent);
}

struct Opened {
  std::string verb;
  std::string file;
  std::string folder;
  int show;
};
std::vector<Opened> g_opened;
bool g_open_succeeds = true;
bool RecordOpen(HWND, const char* verb, const char* file, const char* folder, int show) {
  g_opened.push_back({verb, file, folder, show});
  return g_open_succeeds;
}
std::optional<std::string> g_chosen_folder;
std::optional<std::string> ChooseRecorded(HWND, const char*, const char*) { return g_chosen_folder; }
std::vector<std::string> g_tagged;
void RecordTag(const char* path) { g_tagged.push_back(path); }

class DestinationPaneTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
    g_boxes.clear();
    g_shell.clear();
    g_opened.clear();
    g_tagged.clear();
    g_shell_failure = 0;
    g_open_succeeds = true;
    g_chosen_folder.reset();
    SetMessageBoxFunction(RecordBox);
    previous_shell_ = SetShellFileOperationFunction(RecordAndRunSilently);
    DestinationPaneServices services;
    services.open_file = RecordOpen;
    services.choose_folder = ChooseRecorded;
    services.edit_mp3_tag = RecordTag;
    previous_services_ = SetDestinationPaneServices(services);
    g_settings = AppSettings();
    g_settings.audiocd_drive_selected = cd_tests::TwelveTrackDriveIndex();
    g_settings.output_format = kFormatWav;
    g_settings.path = Output();
    WriteWholeFile(output_.File("a.wav"), "a");
    WriteWholeFile(output_.File("b.mp3"), "b");
    CreateDirectoryA(output_.File("sub").c_str(), nullptr);
    DialogRequest request;
    request.holder = &frame_;
    request.procedure = MainWindowProc;
    ASSERT_EQ(CreateDialogFromResource(request, IDD_MAIN_WINDOW), 1);
    window_ = MainWindowHandle();
    ASSERT_NE(window_, nullptr);
    Main().copied_tracks = 0;  // the window outlives no test, but its state does
    Pump();
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    Pump();
    FreeDialogFrame(frame_);
    SetMessageBoxFunction(nullptr);
    SetShellFileOperationFunction(previous_shell_);
    SetDestinationPaneServices(previous_services_);
  }

  std::string Output() const { return output_.path() + "\\"; }
  std::string Sub() const { return output_.File("sub"); }
  ListViewCtl* Files() { return Main().file_list; }
  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  void Command(int id, int notification = 0) { SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, notification), 0); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int row = 0; row < Files()->item_count; ++row) {
      names.push_back(static_cast<DirEntry*>(ListViewItemAt(Files(), row))->name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  int RowOf(const std::string& name) {
    for (int row = 0; row < Files()->item_count; ++row) {
      if (static_cast<DirEntry*>(ListViewItemAt(Files(), row))->name == name) return row;
    }
    return -1;
  }
  void Select(std::initializer_list<const char*> names) {
    SetLastFocusedListId(IDC_FILE_LIST);
    ListView_SetItemState(Files()->window, -1, 0, LVIS_SELECTED);
    for (const char* name : names) {
      ASSERT_GE(RowOf(name), 0) << name;
      ListView_SetItemState(Files()->window, RowOf(name), LVIS_SELECTED, LVIS_SELECTED);
    }
  }
  void Notify(NMHDR* header, UINT code) {
    header->hwndFrom = Files()->window;
    header->idFrom = IDC_FILE_LIST;
    header->code = code;
    SendMessageA(window_, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(header));
  }
  void DoubleClick(const char* name) {
    NMITEMACTIVATE activate = {};
    activate.iItem = RowOf(name);
    ASSERT_GE(activate.iItem, 0) << name;
    Notify(&activate.hdr, NM_DBLCLK);
  }
  void EndEdit(const char* name, const char* new_text) {
    NMLVDISPINFOA info = {};
    info.item.iItem = RowOf(name);
    std::string text = new_text;
    info.item.pszText = &text[0];
    Notify(&info.hdr, LVN_ENDLABELEDITA);
  }
  void SetComboText(const std::string& text) { SetDlgItemTextA(window_, IDC_OUTPUT_FOLDER, text.c_str()); }
  std::string OutputSetting() { return g_settings.path ? *g_settings.path : std::string(); }
  bool MenuEnabled(HMENU menu, int id) { return !(GetMenuState(menu, UINT(id), MF_BYCOMMAND) & MF_GRAYED); }

  TempDir output_;
  DialogFrame* frame_ = nullptr;
  HWND window_ = nullptr;
  ShellFileOperationFunction previous_shell_ = nullptr;
  DestinationPaneServices previous_services_;
};

TEST_F(DestinationPaneTest, ListsTheOutputFolderWithItsParentEntry) {
  EXPECT_EQ(Files()->listing_flags & 8u, 8u);
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "a.wav", "b.mp3", "sub"}));
}

// Typing "C:\Music" passes through "C:", the current folder of drive C.
TEST_F(DestinationPaneTest, ComboAdoptsOnlyAbsoluteExistingFoldersAndNotWhileTyped) {
  SetComboText("C:");
  Command(IDC_OUTPUT_FOLDER, CBN_EDITCHANGE);
  Command(IDC_OUTPUT_FOLDER, CBN_KILLFOCUS);
  SetComboText(output_.File("missing"));
  Command(IDC_OUTPUT_FOLDER, CBN_KILLFOCUS);
  SetComboText("sub");
  SendMessageA(window_, WM_USER, kCheckOutputFolder, 0);
  EXPECT_EQ(OutputSetting(), Output());
  EXPECT_TRUE(RecentFolders().empty());

  SetComboText(Sub());
  Command(IDC_OUTPUT_FOLDER, CBN_EDITCHANGE);
  EXPECT_EQ(OutputSetting(), Output());
  Command(IDC_OUTPUT_FOLDER, CBN_KILLFOCUS);
  EXPECT_EQ(OutputSetting(), Sub());
  EXPECT_EQ(RecentFolders(), std::vector<std::string>{Sub()});
  EXPECT_EQ(Files()->directory, Sub());

  // A choice from the drop-down is checked once it has reached the text.
  AdoptOutputFolder(Output().c_str());
  SendDlgItemMessageA(window_, IDC_OUTPUT_FOLDER, CB_SETCURSEL, 1, 0);
  Command(IDC_OUTPUT_FOLDER, CBN_SELCHANGE);
  Pump();
  EXPECT_EQ(OutputSetting(), Sub());
  EXPECT_EQ(RecentFolders(), (std::vector<std::string>{Sub(), Output()}));
}

TEST_F(DestinationPaneTest, RecentFoldersKeepTheTenNewestAndAreSavedInThatOrder) {
  std::vector<std::string> made;
  for (int i = 0; i < 11; ++i) {
    made.push_back(output_.File("f" + std::to_string(i)));
    ASSERT_TRUE(CreateDirectoryA(made.back().c_str(), nullptr));
    AdoptOutputFolder(made.back().c_str());
  }
  AdoptOutputFolder(made[5].c_str());
  const std::vector<std::string> recent = RecentFolders();
  ASSERT_EQ(recent.size(), 10u);
  EXPECT_EQ(recent[0], made[5]);
  EXPECT_EQ(recent[1], made[10]);
  EXPECT_EQ(std::count(recent.begin(), recent.end(), made[5]), 1);
  EXPECT_EQ(std::count(recent.begin(), recent.end(), made[0]), 0);
  AppSettings saved;
  RebuildRecentFolders(saved);
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(*saved.recent_output_folders[i], recent[i]);
}

TEST_F(DestinationPaneTest, BrowseAdoptsAnotherFolderWithAFinalSeparator) {
  g_chosen_folder = Sub();
  Command(IDC_BROWSE_FOLDER, BN_CLICKED);
  EXPECT_EQ(OutputSetting(), Sub() + "\\");
  EXPECT_EQ(Names(), std::vector<std::string>{".."});
  g_chosen_folder = Sub() + "\\";
  std::transform(g_chosen_folder->begin(), g_chosen_folder->end(), g_chosen_folder->begin(), ::toupper);
  Command(IDC_BROWSE_FOLDER, BN_CLICKED);
  EXPECT_EQ(OutputSetting(), Sub() + "\\");
  g_chosen_folder.reset();
  Command(IDC_BROWSE_FOLDER, BN_CLICKED);
  EXPECT_EQ(RecentFolders().size(), 1u);
}

TEST_F(DestinationPaneTest, DoubleClickEntersFoldersAndOpensFilesAndOpenRestoresTheWindow) {
  DoubleClick("sub");
  EXPECT_EQ(OutputSetting(), Sub() + "\\");
  EXPECT_EQ(Names(), std::vector<std::string>{".."});
  DoubleClick("..");
  EXPECT_EQ(OutputSetting(), Output());
  EXPECT_EQ(RecentFolders(), (std::vector<std::string>{Output(), Sub() + "\\"}));

  DoubleClick("a.wav");
  Select({"b.mp3"});
  Command(IDM_OPEN);
  g_open_succeeds = false;
  Command(IDM_FILE_OPEN);
  ASSERT_EQ(g_opened.size(), 3u);
  EXPECT_EQ(g_opened[0].verb, "open");
  EXPECT_EQ(g_opened[0].file, output_.File("a.wav"));
  EXPECT_EQ(g_opened[0].folder, Output());
  EXPECT_EQ(g_opened[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(g_opened[1].verb, "Open");
  EXPECT_EQ(g_opened[1].file, output_.File("b.mp3"));
  EXPECT_EQ(g_opened[1].show, SW_RESTORE);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, "Unable to open file.");
  EXPECT_EQ(g_boxes[0].caption, "Error");
}

// A volume label may hold parentheses of its own.
TEST_F(DestinationPaneTest, ADriveOpensAtItsRootWhateverItsLabel) {
  auto drive = std::make_unique<DirEntry>();
  drive->name = "Data (x) (Z:)";
  drive->kind = kDirEntryDrive;
  drive->full_path = "(Z:)";
  ListViewInsert(Files(), drive.get());
  Files()->entries.push_back(std::move(drive));
  DoubleClick("Data (x) (Z:)");
  EXPECT_EQ(OutputSetting(), "Z:\\");
  EXPECT_EQ(Files()->directory, "Z:\\");
  EXPECT_EQ(RecentFolders(), std::vector<std::string>{"Z:\\"});
}

TEST_F(DestinationPaneTest, CutThenPasteInASubfolderMovesAndASecondPasteReportsTheMissingFile) {
  Select({"a.wav"});
  Command(IDM_FILE_CUT);
  EXPECT_TRUE(GetFileClipboard().cut);
  DoubleClick("sub");
  Command(IDM_FILE_PASTE);
  EXPECT_TRUE(FileExists(output_.File("sub\\a.wav")));
  EXPECT_FALSE(FileExists(output_.File("a.wav")));
  ASSERT_EQ(g_shell.size(), 1u);
  EXPECT_EQ(g_shell[0].operation, UINT(FO_MOVE));
  EXPECT_EQ(GetFileClipboard().entries.size(), 1u);
  EXPECT_TRUE(g_boxes.empty());
  Command(IDM_PASTE);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, "The file operation failed (error 2).");
  EXPECT_TRUE(FileExists(output_.File("sub\\a.wav")));
}

// Copying a file onto itself would ask to replace it (or fail); moving it
// there has nothing to do.
TEST_F(DestinationPaneTest, PasteIntoTheFolderTheFilesCameFrom) {
  Select({"a.wav", ".."});
  Command(IDM_FILE_COPY);
  ASSERT_EQ(GetFileClipboard().entries.size(), 1u);  // ".." would be the whole folder
  Command(IDM_FILE_PASTE);
  ASSERT_EQ(g_shell.size(), 1u);
  EXPECT_EQ(g_shell[0].operation, UINT(FO_COPY));
  EXPECT_EQ(g_shell[0].flags & FOF_RENAMEONCOLLISION, FOF_RENAMEONCOLLISION);
  EXPECT_EQ(g_shell[0].from, std::string(output_.File("a.wav")) + '\0' + '\0');

  Select({"b.mp3"});
  Command(IDM_FILE_CUT);
  Command(IDM_FILE_PASTE);
  EXPECT_EQ(g_shell.size(), 1u);
  EXPECT_TRUE(FileExists(output_.File("b.mp3")));
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(DestinationPaneTest, DeleteRemovesTheSelectionRefreshesAndReportsFailures) {
  Select({"a.wav", ".."});
  Command(IDM_FILE_DELETE);
  ASSERT_EQ(g_shell.size(), 1u);
  EXPECT_EQ(g_shell[0].operation, UINT(FO_DELETE));
  EXPECT_EQ(g_shell[0].flags, FOF_ALLOWUNDO);
  EXPECT_EQ(g_shell[0].from, std::string(output_.File("a.wav")) + '\0' + '\0');
  EXPECT_FALSE(FileExists(output_.File("a.wav")));
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "b.mp3", "sub"}));

  g_shell_failure = ERROR_ACCESS_DENIED;
  Select({"b.mp3"});
  Command(IDM_DELETE);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, "The file operation failed (error 5).");
  EXPECT_TRUE(FileExists(output_.File("b.mp3")));
}

// "..\x" or "sub\x" as a new name would move the file out of the folder.
TEST_F(DestinationPaneTest, RenameInPlaceRefusesNamesThatLeadElsewhere) {
  EndEdit("a.wav", "..\\moved.wav");
  EndEdit("a.wav", "sub/moved.wav");
  EndEdit("a.wav", "..");
  ASSERT_EQ(g_boxes.size(), 3u);
  EXPECT_EQ(g_boxes[2].text, "A name cannot be \".\" or \"..\".");
  EXPECT_TRUE(g_shell.empty());
  EXPECT_TRUE(FileExists(output_.File("a.wav")));
  EndEdit("a.wav", "renamed.wav");
  EXPECT_TRUE(FileExists(output_.File("renamed.wav")));
  EXPECT_EQ(g_boxes.size(), 3u);
}

// The file's own extension decides, in any letter case; ".mp3" elsewhere in
// the name does not.
TEST_F(DestinationPaneTest, EditTagIsOfferedForEveryTaggedKindByItsExtension) {
  const struct {
    const char* name;
    bool offered;
  } cases[] = {{"b.mp3", true}, {"c.FLAC", true}, {"d.Ogg", true},      {"e.opus", true},
               {"f.WMA", true}, {"a.wav", false}, {"g.mp3.txt", false}, {"h.mp3x", false}};
  for (const auto& c : cases) WriteWholeFile(output_.File(c.name), "x");
  CreateDirectoryA(output_.File("folder.mp3").c_str(), nullptr);
  Command(IDM_FILE_REFRESH);
  SetCursorPos(1279, 1023);
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_FILE_LIST_MENU));
  ASSERT_NE(menu, nullptr);
  for (const auto& c : cases) {
    Select({c.name});
    PrepareFileListMenu(menu);
    EXPECT_EQ(MenuEnabled(menu, IDM_EDIT_MP3_TAG), c.offered) << c.name;
  }
  Select({"folder.mp3"});
  PrepareFileListMenu(menu);
  EXPECT_FALSE(MenuEnabled(menu, IDM_EDIT_MP3_TAG));
  DestroyMenu(menu);
}

TEST_F(DestinationPaneTest, ContextMenuAndEditMenuFollowTheSelectionAndTheClipboard) {
  SetCursorPos(1279, 1023);  // not over the list: the selection decides
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_FILE_LIST_MENU));
  ASSERT_NE(menu, nullptr);
  PrepareFileListMenu(menu);
  for (int id : {IDM_FILE_OPEN, IDM_FILE_DELETE, IDM_FILE_RENAME, IDM_FILE_COPY, IDM_FILE_CUT, IDM_EDIT_MP3_TAG,
                 IDM_FILE_PASTE}) {
    EXPECT_FALSE(MenuEnabled(menu, id)) << id;
  }
  Select({"b.mp3"});
  PrepareFileListMenu(menu);
  for (int id : {IDM_FILE_OPEN, IDM_FILE_DELETE, IDM_FILE_RENAME, IDM_FILE_COPY, IDM_FILE_CUT, IDM_EDIT_MP3_TAG}) {
    EXPECT_TRUE(MenuEnabled(menu, id)) << id;
  }
  EXPECT_FALSE(MenuEnabled(menu, IDM_FILE_PASTE));
  Command(IDM_FILE_COPY);
  Select({"a.wav"});
  PrepareFileListMenu(menu);
  EXPECT_FALSE(MenuEnabled(menu, IDM_EDIT_MP3_TAG));
  EXPECT_TRUE(MenuEnabled(menu, IDM_FILE_PASTE));
  EXPECT_TRUE(MenuEnabled(GetMenu(window_), IDM_PASTE));
  Select({".."});
  PrepareFileListMenu(menu);
  EXPECT_FALSE(MenuEnabled(menu, IDM_FILE_OPEN));
  EXPECT_TRUE(MenuEnabled(menu, IDM_FILE_PASTE));

  // Copying tracks empties the file clipboard.
  Command(IDM_TRACK_COPY);
  EXPECT_TRUE(FileClipboardEmpty());
  EXPECT_GT(GetMainWindowView().copied_tracks, 0);
  DestroyMenu(menu);
}

TEST_F(DestinationPaneTest, SelectedEntryIsNamedInTheStatusBar) {
  ASSERT_NE(AddStatusBar(frame_, 3, nullptr), nullptr);
  auto part_text = [&] {
    char text[MAX_PATH * 2] = "";
    SendMessageA(frame_->status_bar->window, SB_GETTEXTA, kSelectionStatusPart, LPARAM(text));
    return std::string(text);
  };
  Select({"b.mp3"});
  EXPECT_EQ(part_text(), Output() + "b.mp3");
  Select({"sub"});
  EXPECT_EQ(part_text(), Output() + "sub");
}

TEST_F(DestinationPaneTest, PasteOfCopiedTracksRipsThemIntoTheOutputFolder) {
  ListView_SetItemState(TrackListControl()->window, 0, LVIS_SELECTED, LVIS_SELECTED);
  Command(IDM_TRACK_COPY);
  DoubleClick("sub");
  Command(IDM_FILE_PASTE);
  EXPECT_TRUE(FileExists(output_.File("sub\\Unknown Artist - Track 01.wav")));
  EXPECT_TRUE(g_shell.empty());
  EXPECT_EQ(GetMainWindowView().copied_tracks, 0);
}

TEST_F(DestinationPaneTest, DroppedTracksRipIntoTheTargetFolderButNotFromTheDriveList) {
  ListViewCtl* tracks = TrackListControl();
  tracks->dragged_items = {ListViewItemAt(tracks, 1), ListViewItemAt(tracks, 0)};
  tracks->drag_source_item = tracks->dragged_items.front();
  Files()->drop_target_item = ListViewItemAt(Files(), RowOf("sub"));
  EXPECT_EQ(DropAllowedHere(), 1);
  tracks->drop_handler(tracks, nullptr);
  EXPECT_TRUE(FileExists(output_.File("sub\\Unknown Artist - Track 01.wav")));
  EXPECT_TRUE(FileExists(output_.File("sub\\Unknown Artist - Track 02.wav")));
  EXPECT_EQ(GetMainWindowView().job->tracks[0].track_index, 1);

  // ".." is the folder above, for tracks as for files.
  Files()->drop_target_item = ListViewItemAt(Files(), RowOf(".."));
  EXPECT_EQ(DropAllowedHere(), 1);
  Files()->drop_target_item = kListViewBackground;
  EXPECT_EQ(DropAllowedHere(), 1);
  Files()->drop_target_item = nullptr;
  tracks->drop_target_item = ListViewItemAt(tracks, 3);
  EXPECT_EQ(DropAllowedHere(), 0);
  tracks->drop_target_item = nullptr;

  // The drive list has no folder: a rip there would land in the working folder.
  FileListShowFolder(Files(), "");
  Files()->drop_target_item = kListViewBackground;
  EXPECT_EQ(DropAllowedHere(), 0);
  tracks->dragged_items = {ListViewItemAt(tracks, 2)};
  tracks->drag_source_item = tracks->dragged_items.front();
  tracks->drop_handler(tracks, nullptr);
  EXPECT_EQ(GetMainWindowView().job->tracks[0].track_index, 1);
  EXPECT_EQ(GetMainWindowView().copied_tracks, 0);
}

TEST_F(DestinationPaneTest, MaskFiltersFilesAndTagEditingSeesOnlySelectedFiles) {
  WriteWholeFile(output_.File("c.ogg"), "c");
  SetDlgItemTextA(window_, IDC_FILE_MASK, "*.MP3;*.wav");
  EXPECT_EQ(*g_settings.list_mask, "*.MP3;*.wav");
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "a.wav", "b.mp3", "sub"}));
  Command(IDM_FILE_SELECT_ALL);
  Command(IDM_EDIT_MP3_TAG);
  std::sort(g_tagged.begin(), g_tagged.end());
  EXPECT_EQ(g_tagged, (std::vector<std::string>{output_.File("a.wav"), output_.File("b.mp3")}));
}

TEST_F(DestinationPaneTest, AFileMadeByAnotherProgramAppearsWithinTwoSeconds) {
  auto pump_until = [this](DWORD limit_ms, auto done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < limit_ms) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      Pump();
    }
    return done();
  };
  ASSERT_TRUE(pump_until(3000, [] { return GetFolderWatchView().watching; }));
  EXPECT_EQ(GetFolderWatchView().folder, Output());
  WriteWholeFile(output_.File("new.wav"), "n");
  EXPECT_TRUE(pump_until(2000, [this] { return RowOf("new.wav") >= 0; }));

  AdoptOutputFolder(Sub().c_str());
  EXPECT_TRUE(pump_until(2000, [this] { return GetFolderWatchView().folder == Sub(); }));
}

// "abc." must not delete "abc", "b.mp3 " not "b.mp3", and a folder "..." not
// the folder it is in.  Each goes by its short name where it has one.
TEST_F(DestinationPaneTest, DeletingNamesWindowsRewritesTakesThoseEntriesOnly) {
  testing_support::LiteralNames odd(output_.path());
  ASSERT_TRUE(odd.Make("abc.", "dot"));
  ASSERT_TRUE(odd.Make("b.mp3 ", "blank"));
  ASSERT_TRUE(odd.Make("...", nullptr));
  WriteWholeFile(output_.File("abc"), "plain");
  Command(IDM_FILE_REFRESH);
  for (const char* name : {"abc.", "b.mp3 ", "..."}) {
    SCOPED_TRACE(name);
    g_boxes.clear();
    Select({name});
    Command(IDM_FILE_DELETE);
    for (const char* kept : {"a.wav", "b.mp3", "abc", "sub"}) EXPECT_TRUE(FileExists(output_.File(kept))) << kept;
    // Gone, or refused with a word where only a literal path reaches it.
    if (g_boxes.empty()) {
      EXPECT_FALSE(odd.Exists(name));
    } else {
      EXPECT_EQ(g_boxes[0].text, LoadStringText(IDS_NAME_WINDOWS_REWRITES));
      EXPECT_TRUE(odd.Exists(name));
    }
  }
}

// Where there is no short name the entry's path is literal: the commands the
// shell carries out are refused with a word, Open too; Rename, which mends
// the name, and a drag move reach the entry itself.
TEST_F(DestinationPaneTest, EntriesOnlyALiteralPathReachesAreRefusedOrReachedLiterally) {
  testing_support::LiteralNames odd(output_.path());
  testing_support::LiteralNames sub(Sub());
  ASSERT_TRUE(odd.Make("abc.", "dot"));
  ASSERT_TRUE(odd.Make("b.mp3 ", "blank"));
  ASSERT_TRUE(odd.Make("...", nullptr));
  sub.Forget(sub.folder() + "\\b.mp3 ");
  WriteWholeFile(output_.File("abc"), "plain");
  // What the listing gives on a file system without short names.
  const auto without_short_names = [&] {
    for (auto& entry : Files()->entries) {
      if (NameWindowsRewrites(entry->name.c_str())) entry->full_path = odd.folder() + "\\" + entry->name;
    }
  };
  Command(IDM_FILE_REFRESH);
  without_short_names();
  const std::string refusal = LoadStringText(IDS_NAME_WINDOWS_REWRITES);
  const auto everything_is_there = [&] {
    for (const char* name : {"a.wav", "b.mp3", "abc", "sub"}) EXPECT_TRUE(FileExists(output_.File(name))) << name;
    for (const char* name : {"abc.", "b.mp3 ", "..."}) EXPECT_TRUE(odd.Exists(name)) << name;
  };
  const struct {
    const char* name;
    int command;
  } refused[] = {{"abc.", IDM_FILE_DELETE}, {"b.mp3 ", IDM_DELETE}, {"...", IDM_FILE_DELETE}, {"abc.", IDM_FILE_OPEN}};
  for (const auto& attempt : refused) {
    SCOPED_TRACE(attempt.name);
    without_short_names();
    g_boxes.clear();
    Select({attempt.name});
    Command(attempt.command);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, refusal);
    everything_is_there();
  }
  without_short_names();
  g_boxes.clear();
  DoubleClick("...");
  DoubleClick("abc.");
  EXPECT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(OutputSetting(), Output());
  EXPECT_TRUE(g_opened.empty());
  EXPECT_TRUE(g_shell.empty());

  without_short_names();
  Select({"abc."});
  Command(IDM_FILE_CUT);
  DoubleClick("sub");
  g_boxes.clear();
  Command(IDM_FILE_PASTE);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, refusal);
  EXPECT_TRUE(g_shell.empty());
  DoubleClick("..");
  without_short_names();
  everything_is_there();

  Files()->dragged_items = {ListViewItemAt(Files(), RowOf("b.mp3 "))};
  Files()->drag_source_item = Files()->dragged_items.front();
  Files()->drop_target_item = ListViewItemAt(Files(), RowOf("sub"));
  Files()->drop_handler(Files(), nullptr);
  EXPECT_TRUE(sub.Exists("b.mp3 "));
  EXPECT_FALSE(odd.Exists("b.mp3 "));
  EXPECT_TRUE(FileExists(output_.File("b.mp3")));

  EndEdit("abc.", "abc2");
  EXPECT_EQ(testing_support::ReadWholeFile(output_.File("abc2")), (std::vector<unsigned char>{'d', 'o', 't'}));
  EXPECT_EQ(testing_support::ReadWholeFile(output_.File("abc")), (std::vector<unsigned char>{'p', 'l', 'a', 'i', 'n'}));
  g_boxes.clear();
  EndEdit("abc2", "abc.");
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, refusal);
  EXPECT_TRUE(FileExists(output_.File("abc2")));
}

// The cursor promises what the drop does: where it shows "allowed" the
// dragged file moves, where it shows "no" nothing moves.
TEST_F(DestinationPaneTest, ADropOfFilesMovesExactlyWhereTheCursorAllowsIt) {
  WriteWholeFile(output_.File("sub\\inner.wav"), "i");
  const struct {
    const char* folder;  // relative to the output folder
    const char* dragged;
    const char* target;  // null: the list background
    bool moves;
    const char* moved_to;
  } cases[] = {
      {"", "a.wav", "sub", true, "sub\\a.wav"}, {"sub", "inner.wav", "..", true, "inner.wav"},
      {"", "b.mp3", nullptr, false, nullptr},   {"", "b.mp3", "a.wav", false, nullptr},
      {"", "sub", "sub", false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.dragged) + " onto " + (c.target ? c.target : "the background"));
    const std::string folder = *c.folder ? output_.File(c.folder) : output_.path();
    FileListShowFolder(Files(), folder.c_str());
    auto* dragged = ListViewItemAt(Files(), RowOf(c.dragged));
    ASSERT_NE(dragged, nullptr);
    Files()->dragged_items = {dragged};
    Files()->drag_source_item = dragged;
    Files()->drop_target_item = c.target ? ListViewItemAt(Files(), RowOf(c.target)) : kListViewBackground;
    EXPECT_EQ(DropAllowedHere(), c.moves ? 1 : 0);
    Files()->drop_handler(Files(), nullptr);
    const std::string source = folder + "\\" + c.dragged;
    EXPECT_EQ(FileExists(source), !c.moves);
    if (c.moved_to) {
      EXPECT_TRUE(FileExists(output_.File(c.moved_to)));
    }
  }
  // At a drive root, ".." leads to the drive list, where nothing can go.
  FileListShowFolder(Files(), "C:\\");
  ASSERT_GE(RowOf(".."), 0);
  Files()->dragged_items = {ListViewItemAt(Files(), RowOf("..") == 0 ? 1 : 0)};
  Files()->drag_source_item = Files()->dragged_items.front();
  Files()->drop_target_item = ListViewItemAt(Files(), RowOf(".."));
  EXPECT_EQ(DropAllowedHere(), 0);
  EXPECT_EQ(FileListDropFolder(Files(), Files()->drop_target_item, FileListDropKind::kOwnEntries), "");
  Files()->dragged_items.clear();
  Files()->drag_source_item = nullptr;
}

// Two names outside the code page read alike ("??.wav"); a change in the
// folder must not select the one the user did not pick.
TEST_F(DestinationPaneTest, AFolderChangeKeepsTheSelectionWithoutTakingLookAlikes) {
  const std::wstring first = L"\x03b1\x03b2.wav";
  const std::wstring second = L"\x03b3\x03b4.wav";
  BOOL lost = FALSE;
  char ansi[MAX_PATH];
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, first.c_str(), -1, ansi, sizeof ansi, nullptr, &lost);
  if (GetACP() == CP_UTF8 || !lost) GTEST_SKIP() << "code page " << GetACP() << " holds the test names";
  const std::wstring folder(output_.path().begin(), output_.path().end());
  for (const std::wstring& name : {first, second}) {
    HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  Command(IDM_FILE_REFRESH);
  std::vector<int> look_alikes;
  for (int row = 0; row < Files()->item_count; ++row) {
    const auto* entry = static_cast<DirEntry*>(ListViewItemAt(Files(), row));
    if (entry->kind == kDirEntryFile && entry->name.find('?') != std::string::npos) look_alikes.push_back(row);
  }
  ASSERT_EQ(look_alikes.size(), 2u);
  Select({"b.mp3"});
  ListView_SetItemState(Files()->window, look_alikes[0], LVIS_SELECTED, LVIS_SELECTED);

  const DWORD start = GetTickCount();
  while (!GetFolderWatchView().watching && GetTickCount() - start < 3000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Pump();
  }
  WriteWholeFile(output_.File("next.wav"), "n");
  while (RowOf("next.wav") < 0 && GetTickCount() - start < 6000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Pump();
  }
  ASSERT_GE(RowOf("next.wav"), 0);
  std::vector<std::string> selected;
  int look_alikes_selected = 0;
  for (int row = int(SendMessageA(Files()->window, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); row >= 0;
       row = int(SendMessageA(Files()->window, LVM_GETNEXTITEM, WPARAM(row), LVNI_SELECTED))) {
    const std::string name = static_cast<const DirEntry*>(ListViewItemAt(Files(), row))->name;
    if (name.find('?') != std::string::npos) {
      ++look_alikes_selected;
    } else {
      selected.push_back(name);
    }
  }
  EXPECT_EQ(selected, std::vector<std::string>{"b.mp3"});
  // Where short names tell them apart the picked one stays; never both.
  EXPECT_LE(look_alikes_selected, 1);
}

RECT g_menu_rect;
void CALLBACK RecordMenuAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (HWND menu = FindWindowA("#32768", nullptr)) GetWindowRect(menu, &g_menu_rect);
  EndMenu();
}

// Shift+F10 and the Menu key come as (-1,-1): each list opens its menu at
// its focused item, whatever the mouse is over.
TEST_F(DestinationPaneTest, TheKeyboardOpensEachListsMenuAtTheFocusedItem) {
  SetCursorPos(1279, 1023);
  Select({"b.mp3"});
  for (HWND list : {Files()->window, TrackListControl()->window}) {
    const int row = list == Files()->window ? RowOf("b.mp3") : 1;
    ListView_SetItemState(list, row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    RECT label = {LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&label)));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&label), 2);
    g_menu_rect = RECT{};
    SetTimer(nullptr, 0, 300, RecordMenuAndClose);
    SendMessageA(list, WM_CONTEXTMENU, WPARAM(list), LPARAM(-1));
    EXPECT_NEAR(g_menu_rect.left, label.left, 2) << (list == Files()->window ? "file list" : "track list");
    EXPECT_NEAR(g_menu_rect.top, label.bottom, 2) << (list == Files()->window ? "file list" : "track list");
  }
  Pump();
}

// The template lists one pane after the other; the window shows them side by
// side, and Tab goes through what it shows line by line.
TEST_F(DestinationPaneTest, TabGoesLineByLineAsTheControlsArePlaced) {
  std::vector<int> order;
  HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
  for (HWND stop = first; stop && order.size() < 32; stop = GetNextDlgTabItem(window_, stop, FALSE)) {
    order.push_back(GetDlgCtrlID(stop));
    if (GetNextDlgTabItem(window_, stop, FALSE) == first) break;
  }
  const auto position = [&](int id) { return std::find(order.begin(), order.end(), id) - order.begin(); };
  ASSERT_LT(position(IDC_DRIVE_COMBO), std::ptrdiff_t(order.size()));
  EXPECT_EQ(position(IDC_OUTPUT_FOLDER), position(IDC_DRIVE_COMBO) + 1);
  EXPECT_LT(position(IDC_FORMAT_COMBO), position(IDC_ARTIST));
  EXPECT_EQ(position(IDC_FILE_LIST), position(IDC_TRACK_LIST) + 1);
}

// The folder typed in the combo is the one the user sees: File > RIP and the
// toolbar's Paste take it though the combo never lost the focus, and a text
// that names no folder stops them with a word instead of using the old one.
TEST_F(DestinationPaneTest, CommandsTakeTheTypedOutputFolderFirst) {
  ListView_SetItemState(TrackListControl()->window, 0, LVIS_SELECTED, LVIS_SELECTED);
  SetComboText(Sub());
  Command(IDM_RIP);
  EXPECT_EQ(OutputSetting(), Sub());
  EXPECT_EQ(Files()->directory, Sub());
  EXPECT_TRUE(FileExists(output_.File("sub\\Unknown Artist - Track 01.wav")));
  EXPECT_FALSE(FileExists(output_.File("Unknown Artist - Track 01.wav")));

  const size_t ripped = testing_support::FolderNames(Sub()).size();
  Command(IDM_TRACK_COPY);
  SetComboText(output_.File("missing"));
  g_boxes.clear();
  Command(IDM_PASTE);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, LoadStringText(IDS_OUTPUT_FOLDER_UNUSABLE));
  EXPECT_EQ(OutputSetting(), Sub());
  EXPECT_EQ(testing_support::FolderNames(Sub()).size(), ripped);
  EXPECT_FALSE(FileExists(output_.File("missing")));
}

}  // namespace
