#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/strings.h"
#include "controls/list_view.h"
#include "files/dir_listing.h"
#include "files/file_list.h"
#include "files/shell_ops.h"
#include "res/string_ids.h"
#include "support/list_view_test_dialog.h"
#include "support/recorded_boxes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

const int kTitles[] = {IDS_COLUMN_FILE_ICON, IDS_COLUMN_FILENAME, IDS_COLUMN_SIZE, IDS_COLUMN_DATE, 0};
const int kWidths[] = {20, 120, 60, 90};

int RunSilently(SHFILEOPSTRUCTA* request) {
  SHFILEOPSTRUCTA silent = *request;
  silent.fFlags |= FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  return SHFileOperationA(&silent);
}

class FileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_run_ = SetShellFileOperationFunction(RunSilently);
    testing_support::RecordedBoxes().clear();
    previous_box_ = SetMessageBoxFunction(testing_support::RecordBox);
    WriteWholeFile(dir_.File("b.wav"), std::string(300, 'b'));
    WriteWholeFile(dir_.File("a.ogg"), std::string(100, 'a'));
    WriteWholeFile(dir_.File("c.WAV"), std::string(200, 'c'));
    CreateDirectoryA(dir_.File("Sub").c_str(), nullptr);
    CreateDirectoryA(dir_.File("Albums").c_str(), nullptr);
  }
  void TearDown() override {
    DestroyListView(list_);
    SetShellFileOperationFunction(previous_run_);
    SetMessageBoxFunction(previous_box_);
  }
  ListViewCtl* Open(const char* folder, unsigned flags, const char* pattern = "") {
    ListViewParams p;
    p.frame = dialog_.frame();
    p.control_id = kTestListId;
    p.column_titles = kTitles;
    p.column_widths = kWidths;
    FileListParams file;
    file.directory = folder;
    file.file_pattern = pattern;
    file.listing_flags = flags;
    list_ = CreateFileList(list_, p, file);
    return list_;
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int i = 0; i < list_->item_count; ++i) names.push_back(static_cast<DirEntry*>(ListViewItemAt(list_, i))->name);
    return names;
  }
  DirEntry* Named(const char* name) {
    for (auto& e : list_->entries) {
      if (e->name == name) return e.get();
    }
    return nullptr;
  }
  int Notify(NMHDR* header, UINT code) {
    header->hwndFrom = list_->window;
    header->idFrom = kTestListId;
    header->code = code;
    return ListViewNotifyFileList(list_, WM_NOTIFY, kTestListId, reinterpret_cast<LPARAM>(header));
  }
  // Ends a label edit of the row of `entry` (null: a cancelled edit) with `text`.
  int EndEdit(DirEntry* entry, const char* text) {
    std::string typed = text;
    NMLVDISPINFOA info = {};
    info.item.iItem = entry ? ListViewIndexOf(list_, entry) : -1;
    info.item.pszText = &typed[0];
    return Notify(&info.hdr, LVN_ENDLABELEDITA);
  }
  void ClickColumn(int column) {
    NMLISTVIEW click = {};
    click.iItem = -1;
    click.iSubItem = column;
    Notify(&click.hdr, LVN_COLUMNCLICK);
  }
  TempDir dir_;
  TestListDialog dialog_;
  ListViewCtl* list_ = nullptr;
  ShellFileOperationFunction previous_run_ = nullptr;
  MessageBoxFunction previous_box_ = nullptr;
};

using NameList = std::vector<std::string>;

TEST_F(FileListTest, SortsEveryColumnBothWaysWithParentFirst) {
  ASSERT_NE(Open(dir_.path().c_str(), kListDrives), nullptr);
  ClickColumn(1);
  EXPECT_EQ(Names(), (NameList{"..", "Albums", "Sub", "a.ogg", "b.wav", "c.WAV"}));
  ClickColumn(1);
  EXPECT_EQ(Names(), (NameList{"..", "c.WAV", "b.wav", "a.ogg", "Sub", "Albums"}));
  ClickColumn(0);
  EXPECT_EQ(Names(), (NameList{"..", "Albums", "Sub", "a.ogg", "b.wav", "c.WAV"}));
  ClickColumn(2);
  EXPECT_EQ(Names(), (NameList{"..", "b.wav", "c.WAV", "a.ogg", "Albums", "Sub"}));
  ClickColumn(2);
  EXPECT_EQ(Names(), (NameList{"..", "Sub", "Albums", "a.ogg", "c.WAV", "b.wav"}));
  ClickColumn(3);
  EXPECT_EQ(Names().front(), "..");
  ClickColumn(3);
  EXPECT_EQ(Names().front(), "..");
}

TEST_F(FileListTest, ShowsTextsAndFiltersByPattern) {
  Open(dir_.path().c_str(), 0, "*.wav");
  EXPECT_EQ(list_->item_count, 5);  // b.wav, c.WAV, two folders and ".."
  const int index = ListViewIndexOf(list_, Named("b.wav"));
  EXPECT_EQ(CellText(list_->window, index, 0), "");
  EXPECT_EQ(CellText(list_->window, index, 1), "b.wav");
  EXPECT_EQ(CellText(list_->window, index, 2), "300");
  EXPECT_EQ(CellText(list_->window, ListViewIndexOf(list_, Named("Sub")), 2), "");
  FileListSetPattern(list_, "*.ogg");
  EXPECT_NE(Named("a.ogg"), nullptr);
  EXPECT_EQ(Named("b.wav"), nullptr);
}

int g_row_deletions = 0;

int CountRowDeletions(ListViewCtl*, int code, NMHDR*) {
  if (code == static_cast<int>(LVN_DELETEITEM)) ++g_row_deletions;
  return 0;
}

TEST_F(FileListTest, ShowingTheFolderAgainRereadsItWithoutANoticePerRow) {
  ASSERT_NE(Open(dir_.path().c_str(), 0), nullptr);
  ASSERT_EQ(list_->item_count, 6);
  list_->notify_filter = CountRowDeletions;
  g_row_deletions = 0;
  WriteWholeFile(dir_.File("b.wav"), std::string(512, 'b'));
  WriteWholeFile(dir_.File("d.mp3"), std::string(7, 'd'));
  ASSERT_TRUE(DeleteFileA(dir_.File("a.ogg").c_str()));
  ASSERT_EQ(FileListShowFolder(list_, dir_.path().c_str()), 1);
  EXPECT_EQ(g_row_deletions, 0);
  EXPECT_EQ(list_->item_count, 6);
  EXPECT_EQ(Named("a.ogg"), nullptr);
  ASSERT_NE(Named("d.mp3"), nullptr);
  EXPECT_EQ(CellText(list_->window, ListViewIndexOf(list_, Named("d.mp3")), 2), "7");
  EXPECT_EQ(CellText(list_->window, ListViewIndexOf(list_, Named("b.wav")), 2), "512");
}

TEST_F(FileListTest, NavigatesFoldersDrivesAndBack) {
  Open(dir_.path().c_str(), kListDrives);
  ListViewSelect(list_, Named("Sub"));
  NMITEMACTIVATE click = {};
  EXPECT_EQ(Notify(&click.hdr, NM_DBLCLK), 1);
  EXPECT_EQ(list_->directory, dir_.File("Sub"));
  ListViewSelect(list_, Named(".."));
  Notify(&click.hdr, NM_DBLCLK);
  EXPECT_EQ(list_->directory, dir_.path());

  FileListShowFolder(list_, "");
  EXPECT_EQ(list_->directory, "");
  ASSERT_FALSE(list_->entries.empty());
  for (const auto& e : list_->entries) EXPECT_EQ(e->kind, kDirEntryDrive);

  // A drive root has no ".." of its own: the list adds one that leads back.
  FileListShowFolder(list_, "C:\\");
  ASSERT_FALSE(list_->entries.empty());
  EXPECT_EQ(list_->entries.front()->kind, kDirEntryDriveRootUp);
  EXPECT_EQ(Names().front(), "..");
  ListViewSelect(list_, list_->entries.front().get());
  Notify(&click.hdr, NM_DBLCLK);
  EXPECT_EQ(list_->directory, "");

  // A folder that is gone falls back to the drive list.
  FileListShowFolder(list_, dir_.File("gone").c_str());
  EXPECT_EQ(list_->directory, "");
  EXPECT_EQ(list_->entries.front()->kind, kDirEntryDrive);

  FileListShowFolderKeepPath(list_, dir_.File("gone").c_str());
  EXPECT_EQ(list_->directory, dir_.File("gone"));
}

TEST_F(FileListTest, RenameThroughTheList) {
  Open(dir_.path().c_str(), 0);
  DirEntry* entry = Named("a.ogg");
  ListViewSelect(list_, entry);
  EXPECT_EQ(EndEdit(entry, "renamed.ogg"), 1);
  EXPECT_EQ(entry->name, "renamed.ogg");
  EXPECT_EQ(entry->full_path, dir_.File("renamed.ogg"));
  EXPECT_TRUE(FileExists(dir_.File("renamed.ogg")));

  EXPECT_EQ(EndEdit(entry, "b.wav"), 0);
  EXPECT_EQ(entry->name, "renamed.ogg");
  EXPECT_TRUE(FileExists(dir_.File("renamed.ogg")));
  EXPECT_EQ(testing_support::RecordedBoxes().size(), 1u);  // the failed rename is reported
  // A cancelled edit renames nothing.
  EXPECT_EQ(EndEdit(nullptr, "b.wav"), 0);
}

// An edit the user starts with the mouse need not be on the current entry:
// the edited row is the one renamed.
TEST_F(FileListTest, RenameTakesTheEditedRowNotTheCurrentOne) {
  Open(dir_.path().c_str(), 0);
  DirEntry* current = Named("a.ogg");
  DirEntry* edited = Named("b.wav");
  ListViewSelect(list_, current);
  EXPECT_EQ(EndEdit(edited, "edited.wav"), 1);
  EXPECT_EQ(edited->name, "edited.wav");
  EXPECT_EQ(current->name, "a.ogg");
  EXPECT_TRUE(FileExists(dir_.File("a.ogg")));
  EXPECT_TRUE(FileExists(dir_.File("edited.wav")));
  EXPECT_FALSE(FileExists(dir_.File("b.wav")));
}

TEST_F(FileListTest, DraggedEntriesMoveIntoTheFolderTheyAreDroppedOn) {
  Open(dir_.path().c_str(), 0);
  list_->dragged_items = {Named("a.ogg"), Named("b.wav")};
  list_->drag_source_item = Named("a.ogg");
  list_->drop_target_item = Named("c.WAV");
  FileListDefaultDrop(list_, nullptr);
  EXPECT_TRUE(FileExists(dir_.File("a.ogg")));
  EXPECT_EQ(list_->drag_source_item, nullptr);

  list_->dragged_items = {Named("a.ogg"), Named("b.wav")};
  list_->drop_target_item = Named("Sub");
  FileListDefaultDrop(list_, nullptr);
  EXPECT_TRUE(FileExists(dir_.File("Sub\\a.ogg")));
  EXPECT_TRUE(FileExists(dir_.File("Sub\\b.wav")));
  EXPECT_FALSE(FileExists(dir_.File("a.ogg")));
  EXPECT_EQ(ListViewIndexOf(list_, Named("a.ogg")), -1);
  EXPECT_EQ(list_->item_count, 4);

  // Onto ".." of the sub-folder: back up into the listed folder's parent.
  FileListShowFolder(list_, dir_.File("Sub").c_str());
  list_->dragged_items = {Named("a.ogg")};
  list_->drop_target_item = Named("..");
  FileListDefaultDrop(list_, nullptr);
  EXPECT_TRUE(FileExists(dir_.File("a.ogg")));
}

}  // namespace
