// The watch on the output folder: timer 109 polls a change notification and
// the file list follows what other programs do in the folder.
#include <windows.h>
#include <commctrl.h>

#include <set>

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

// Lists the folder again with the same entries selected, by name.
void RefreshKeepingSelection(ListViewCtl* list) {
  std::set<std::string> selected;
  for (const DirEntry* entry : SelectedFileEntries()) selected.insert(entry->name);
  RefreshFileList();
  for (int row = 0; row < list->item_count; ++row) {
    const auto* entry = static_cast<const DirEntry*>(ListViewItemAt(list, row));
    if (entry && selected.count(entry->name)) ListView_SetItemState(list->window, row, LVIS_SELECTED, LVIS_SELECTED);
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
