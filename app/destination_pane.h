// The destination pane of the main window: the output folder combo with the
// recent folders, the "..." browse button, the mask, and the file list as a
// small file manager over the output folder (open, cut, copy, paste, delete,
// rename, create directory, drops of tracks, and a watch on the folder).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "controls/dir_entry.h"

struct AppSettings;
struct DialogFrame;
struct ListViewCtl;

// WM_USER code: check the output folder combo once its text has settled.
constexpr WPARAM kCheckOutputFolder = 3;
constexpr UINT_PTR kFolderWatchTimer = 109;
constexpr UINT kFolderWatchPeriodMs = 1000;
// The status bar part that names the selected file entry.
constexpr int kSelectionStatusPart = 1;

// Creates the file list over control 1020 with the pane's hooks, hooks the
// track list's drops and the settings save, and fills the recent folders.
// The caller starts timer 109 on its own thread.
ListViewCtl* CreateDestinationPane(DialogFrame* frame);
// Stops the folder watch and forgets the clipboard; destroys the file list.
void DestroyDestinationPane();

// Commands and control notifications of the pane; 1 when taken.
int HandleDestinationCommand(int command, int notification);
// Adopts the combo's text when it names another existing folder (WM_USER 3).
void CheckOutputFolderCombo();
// The same before a command that uses the output folder: the folder typed in
// the combo is the one the user sees, whether or not the combo lost the focus.
// False, after saying so, when the typed text names no folder that can be
// adopted: the command must then not run on the old folder.
bool TakeTypedOutputFolder();
// One tick of timer 109.
void TickFolderWatch();

// Replaces the output folder, puts it at the top of the recent folders, shows
// it in the combo and lists it.
void AdoptOutputFolder(const char* path);
// The recent folders as the combo holds them, most recent first.
std::vector<std::string> RecentFolders();
// Copies the combo's folders into the ten recent-folder settings.
void RebuildRecentFolders(AppSettings& settings);

// The file clipboard.
struct FileClipboard {
  std::string source_folder;
  std::vector<DirEntry> entries;
  bool cut = false;
};
const FileClipboard& GetFileClipboard();
bool FileClipboardEmpty();
void EmptyFileClipboard();

// Enables the items of context menu 210 as it is about to be shown.
void PrepareFileListMenu(HMENU menu);

// Whether a drag may end where it is now (asked on every mouse move).
int DropAllowedHere();

// What the pane asks of the system; tests replace these.
struct DestinationPaneServices {
  // Starts a file with the shell verb in the working folder; true on success.
  bool (*open_file)(HWND owner, const char* verb, const char* file, const char* folder, int show) = nullptr;
  // The folder chosen in the shell's folder browser, or nothing.
  std::optional<std::string> (*choose_folder)(HWND owner, const char* title, const char* start_folder) = nullptr;
  // Edits the tags of one selected file (of any kind: the editor passes by
  // those it does not tag).
  void (*edit_mp3_tag)(const char* path) = nullptr;
};
// Installs services (a null member: the system's); returns the previous ones.
DestinationPaneServices SetDestinationPaneServices(const DestinationPaneServices& services);

// The folder watch, for tests: the watched folder and whether a handle exists.
struct FolderWatchView {
  std::string folder;
  bool watching;
};
FolderWatchView GetFolderWatchView();
