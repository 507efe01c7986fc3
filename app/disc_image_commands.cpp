#include "app/disc_image_commands.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/main_window_state.h"
#include "app/product_name.h"
#include "app/settings.h"
#include "app/command_line.h"
#include "cd/cd_drives.h"
#include "cd/disc_images.h"
#include "common/strings.h"
#include "files/file_choosers.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"

namespace {

bool DriveIsBusy() {
  const MainState& main = Main();
  return main.lookup_pending || main.ripping;
}

// The user's sheet, the message and the library's reason (naming the
// sheet's line), each on its own line.
void ShowRefusal(UINT message_id, const std::string& cue_path, const std::string& reason) {
  std::string text = LoadStringText(message_id);
  text += "\n\n" + cue_path;
  if (!reason.empty()) text += "\n" + reason;
  ShowWarningBox(Main().window, kProductName, text.c_str());
}

void OpenNow(const std::string& cue_path) {
  if (!IsCueSheetPath(cue_path)) {
    ShowRefusal(IDS_DISC_IMAGE_NOT_A_SHEET, cue_path, "");
    return;
  }
  const DiscImageOpen opened = OpenDiscImage(cue_path.c_str());
  if (opened.drive < 0) {
    ShowRefusal(opened.too_many ? IDS_DISC_IMAGE_TOO_MANY : IDS_DISC_IMAGE_REFUSED, cue_path, opened.reason);
    return;
  }
  ShowDriveInWindow(opened.drive);
}

// The drive box's own procedure, while ours stands in front of it (the
// common controls' subclass calls are not exported by name in every version).
WNDPROC g_drive_combo_proc = nullptr;

LRESULT CALLBACK DriveComboProc(HWND combo, UINT message, WPARAM wparam, LPARAM lparam) {
  const WNDPROC previous = g_drive_combo_proc;
  if (message == WM_DROPFILES) {
    HDROP drop = reinterpret_cast<HDROP>(wparam);
    char path[MAX_PATH] = "";
    const UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    // One sheet makes one drive: the first path dropped is the one opened.
    if (length > 0 && length < sizeof path) OpenDiscImageWhenFree(path);
    return 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    g_drive_combo_proc = nullptr;
  }
  return previous ? CallWindowProcA(previous, combo, message, wparam, lparam)
                  : DefWindowProcA(combo, message, wparam, lparam);
}

}  // namespace

void OpenDiscImageWhenFree(const std::string& cue_path) {
  if (DriveIsBusy()) {
    Main().waiting_image = cue_path;
    return;
  }
  OpenNow(cue_path);
}

void OpenWaitingDiscImage() {
  MainState& main = Main();
  if (main.waiting_image.empty() || DriveIsBusy() || !main.window) return;
  const std::string cue_path = std::move(main.waiting_image);
  main.waiting_image.clear();
  OpenNow(cue_path);
}

void ChooseAndOpenDiscImage() {
  if (DriveIsBusy()) return;
  std::string folder = g_settings.path.value_or("");
  OpenFileRequest request;
  request.owner = Main().window;
  request.folder = &folder;
  request.title = LoadStringText(IDS_OPEN_DISC_IMAGE_TITLE);
  const std::string filter = LoadStringText(IDS_DISC_IMAGE_FILTER);
  request.filter = filter.c_str();
  // The program's working folder holds its settings: the dialog must not move it.
  request.flags =
      OFN_ENABLESIZING | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  const std::optional<std::string> chosen = ChooseOpenFile(request);
  if (chosen) OpenNow(*chosen);
}

void CloseSelectedDiscImage() {
  if (DriveIsBusy()) return;
  const int drive = g_settings.audiocd_drive_selected;
  if (!CloseDiscImage(drive)) {
    ShowWarningBox(Main().window, kProductName, LoadStringText(IDS_DISC_IMAGE_NOT_CLOSABLE));
    return;
  }
  const int count = GetDriveCount();
  ShowDriveInWindow(drive < count ? drive : count - 1);
}

void OpenCommandLineDiscImage(const char* command_line) {
  const std::string cue_path = CueSheetArgument(command_line);
  if (cue_path.empty() || !Main().window) return;
  Main().waiting_image = cue_path;
  PostMessageA(Main().window, WM_USER, kOpenWaitingImage, 0);
}

void AcceptDiscImageDrops(HWND drive_combo) {
  if (!drive_combo || g_drive_combo_proc) return;
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(drive_combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DriveComboProc)));
  if (!previous) return;
  g_drive_combo_proc = previous;
  DragAcceptFiles(drive_combo, TRUE);
}

bool DiscImageTextsAsLookup(int drive, const TrackTable& tracks, DiscLookupResult* result) {
  std::string title, performer;
  if (!IsOpenedDiscImage(drive)) return false;
  if (!ReadDiscImageText(drive, 0, false, &title) || !ReadDiscImageText(drive, 0, true, &performer)) return false;
  std::vector<std::string> titles;
  bool any_track_title = false;
  // A record's titles number the table of contents' tracks, data tracks included.
  const int first = tracks.toc_track_count > 0 ? tracks.toc_first_track : 1;
  const int count = tracks.toc_track_count > 0 ? tracks.toc_track_count : tracks.count;
  for (int number = first; number < first + count; ++number) {
    std::string track_title;
    ReadDiscImageText(drive, number, false, &track_title);
    any_track_title = any_track_title || !track_title.empty();
    titles.push_back(track_title);
  }
  if (title.empty() && performer.empty() && !any_track_title) return false;
  *result = DiscLookupResult();
  result->found = true;
  result->title = title.empty() ? LoadStringText(IDS_UNKNOWN_TITLE) : title;
  result->artist = performer.empty() ? LoadStringText(IDS_UNKNOWN_ARTIST) : performer;
  result->track_titles = std::move(titles);
  return true;
}
