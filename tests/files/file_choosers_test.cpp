#include "files/file_choosers.h"

#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/temp_dir.h"

namespace {

// A drop handle as the shell makes it: a DROPFILES header and the ANSI paths.
HDROP MakeDrop(const std::string& paths_with_nuls) {
  const std::size_t size = sizeof(DROPFILES) + paths_with_nuls.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), paths_with_nuls.data(), paths_with_nuls.size());
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST(DroppedFiles, PathsComeInDropOrderAsNames) {
  const std::string paths("C:\\music\\b.wav\0C:\\music\\a.wav\0D:\\x\0", 35);
  const DirEntryList entries = DroppedFiles(MakeDrop(paths));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0]->name, "C:\\music\\b.wav");
  EXPECT_EQ(entries[1]->name, "C:\\music\\a.wav");
  EXPECT_EQ(entries[2]->name, "D:\\x");
  EXPECT_TRUE(entries[0]->full_path.empty());
  EXPECT_TRUE(DroppedFiles(nullptr).empty());
}

TEST(LaunchFile, MissingFileOrNoFileFails) {
  testing_support::TempDir dir;
  EXPECT_FALSE(LaunchFile(nullptr, dir.File("missing.exe").c_str(), dir.path().c_str(), nullptr));
  EXPECT_FALSE(LaunchFile(nullptr, nullptr, nullptr, nullptr));
}

constexpr char kChooserTitle[] = "Choose a test program";

// Plays the user of the open-file dialog from another thread: types the path
// into the dialog's name field and presses OK.
DWORD WINAPI AnswerOpenFileDialog(void* path) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    HWND dialog = FindWindowA("#32770", kChooserTitle);
    if (dialog != nullptr && IsWindowVisible(dialog)) {
      SetDlgItemTextA(dialog, cmb13, static_cast<const char*>(path));
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(20);
  }
  return 1;
}

// The dialog's library is not loaded with the program, only when a file is
// first chosen, and the dialog then works as before.
TEST(ChooseOpenFile, LoadsTheDialogLibraryOnFirstUseAndReturnsTheChosenFile) {
  EXPECT_EQ(GetModuleHandleA("comdlg32.dll"), nullptr);
  testing_support::TempDir dir;
  const std::string program = dir.File("chosen.exe");
  testing_support::WriteWholeFile(program, "MZ");
  std::string folder = dir.path();
  OpenFileRequest request;
  request.title = kChooserTitle;
  request.folder = &folder;
  request.filter = "Programs$*.exe$$";
  HANDLE answer = CreateThread(nullptr, 0, AnswerOpenFileDialog, const_cast<char*>(program.c_str()), 0, nullptr);
  ASSERT_NE(answer, nullptr);
  const std::optional<std::string> chosen = ChooseOpenFile(request);
  WaitForSingleObject(answer, INFINITE);
  DWORD answered = 1;
  GetExitCodeThread(answer, &answered);
  CloseHandle(answer);
  EXPECT_EQ(answered, 0u) << "no open-file dialog came";
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(_stricmp(chosen->c_str(), program.c_str()), 0) << *chosen;
  EXPECT_EQ(_stricmp(folder.c_str(), dir.path().c_str()), 0) << folder;
  EXPECT_NE(GetModuleHandleA("comdlg32.dll"), nullptr);
}

}  // namespace
