// The watch on the output folder: timer 109 polls a change notification and
// the file list follows what other programs do in the folder.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <set>
#include <string>

#include "app/destination_pane_internal.h"
#include "app/main_window_state.h"
#include "common/win_owners.h"
#include "controls/list_view.h"

namespace {

struct FolderWatch {
  bool started = false;
  std::string folder;
  ChangeNotificationHandle handle;
  bool refresh_pending = false;
};
FolderWatch g_watch;

// A refresh would end a label edit or a drag, so it waits for them.
bool ListIsBusy(ListViewCtl* list) {
  return SendMessageA(list->window, LVM_GETEDITCONTROL, 0, 0) != 0 || list->drag_source_item ||
         GetCapture() == Main().window;
}

// What tells an entry from every other in one listing: its path.  Names
// outside the code page may read alike ("??.wav" for two different files),
// and so may their paths where there are no short names.
std::string EntryKey(const DirEntry& entry) { return entry.full_path.empty() ? entry.name : entry.full_path; }

std::map<std::string, int> KeyCounts(ListViewCtl* list) {
  std::map<std::string, int> counts;
  for (int row = 0; row < list->item_count; ++row) {
    if (const auto* entry = static_cast<const DirEntry*>(ListViewItemAt(list, row))) ++counts[EntryKey(*entry)];
  }
  return counts;
}

bool Unique(const std::map<std::string, int>& counts, const std::string& key) {
  const auto found = counts.find(key);
  return found != counts.end() && found->second == 1;
}

// Lists the folder again with the same entries selected.  An entry that
// cannot be told apart from another, before or after, is left unselected:
// Delete must never take a file the user did not pick.
void RefreshKeepingSelection(ListViewCtl* list) {
  const std::map<std::string, int> before = KeyCounts(list);
  std::set<std::string> selected;
  for (const DirEntry* entry : SelectedFileEntries()) {
    const std::string key = EntryKey(*entry);
    if (Unique(before, key)) selected.insert(key);
  }
  RefreshFileList();
  const std::map<std::string, int> after = KeyCounts(list);
  for (int row = 0; row < list->item_count; ++row) {
    const auto* entry = static_cast<const DirEntry*>(ListViewItemAt(list, row));
    if (!entry) continue;
    const std::string key = EntryKey(*entry);
    if (selected.count(key) && Unique(after, key))
      ListView_SetItemState(list->window, row, LVIS_SELECTED, LVIS_SELECTED);
  }
}

void RefreshWhenShowingOutputFolder() {
  ListViewCtl* list = PaneFileList();
  if (!list || !list->window) return;
  if (list->directory.empty() || _stricmp(list->directory.c_str(), g_watch.folder.c_str()) != 0) {
    g_watch.refresh_pending = false;
    return;
  }
  if (ListIsBusy(list)) return;
  g_watch.refresh_pending = false;
  RefreshKeepingSelection(list);
  UpdateCommandStates();
}

}  // namespace

void TickFolderWatch() {
  const std::string output = OutputFolder();
  if (g_watch.started && g_watch.folder == output && g_watch.handle) {
    if (WaitForSingleObject(g_watch.handle.get(), 0) == WAIT_OBJECT_0) {
      if (!FindNextChangeNotification(g_watch.handle.get())) g_watch.handle.reset();
      g_watch.refresh_pending = true;
    }
    if (g_watch.refresh_pending) RefreshWhenShowingOutputFolder();
    return;
  }
  g_watch.started = true;
  g_watch.folder = output;
  g_watch.handle.reset();
  g_watch.refresh_pending = false;
  if (output.empty()) return;
  // Folder names too: a folder made by another program belongs in the list.
  const HANDLE handle =
      FindFirstChangeNotificationA(output.c_str(), TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
  if (handle != INVALID_HANDLE_VALUE) g_watch.handle.reset(handle);
}

void StopFolderWatch() { g_watch = FolderWatch(); }

FolderWatchView GetFolderWatchView() { return {g_watch.folder, bool(g_watch.handle)}; }
