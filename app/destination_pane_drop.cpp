// Tracks dragged from the track list onto the file list, and whether a drag
// may end where it is.
#include <cstdio>
#include <iterator>

#include "app/destination_pane_internal.h"
#include "app/main_window_state.h"
#include "app/track_list.h"
#include "controls/list_view.h"

namespace {

// The drive list has no folder to rip into.
bool ShowsAFolder(const ListViewCtl* files) { return files && !files->directory.empty(); }

std::string DropFolder(const ListViewCtl* files) {
  const auto* target = static_cast<const DirEntry*>(files->drop_target_item);
  if (files->drop_target_item == kListViewBackground || !target || target->kind != kDirEntryFolder) {
    return files->directory;
  }
  return target->full_path.empty() ? files->directory + "\\" + target->name : target->full_path;
}

// The track list is where a drag of tracks ends, wherever they are dropped.
void TrackListDrop(ListViewCtl* tracks, HDROP drop) {
  if (drop) {
    DragFinish(drop);  // files from the shell have no place among the tracks
    return;
  }
  ListViewCtl* files = PaneFileList();
  MainState& main = Main();
  if (!files || !files->drop_target_item || main.ripping || !ShowsAFolder(files)) return;
  int count = 0;
  for (void* item : tracks->dragged_items) {
    if (count >= int(std::size(main.job.tracks))) break;
    const auto* track = static_cast<const TrackItem*>(item);
    RipTrack& job_track = main.job.tracks[count++];
    job_track.track_index = track->track_index;
    std::snprintf(job_track.title, kRipTitleCopyLength + 1, "%s", track->title ? track->title : "");
  }
  main.job.track_count = count;
  if (count == 0) return;
  main.copied_tracks = count;
  std::snprintf(main.job.output_folder, sizeof main.job.output_folder, "%s", DropFolder(files).c_str());
  StartRipOfCollectedTracks();
}

}  // namespace

void HookTrackListDrops() {
  if (ListViewCtl* tracks = TrackListControl()) tracks->drop_handler = TrackListDrop;
}

int DropAllowedHere() {
  ListViewCtl* tracks = TrackListControl();
  ListViewCtl* files = PaneFileList();
  if (tracks && tracks->drop_target_item) return 0;
  if (!files || !files->drop_target_item || !ShowsAFolder(files)) return 0;
  if (files->drop_target_item == kListViewBackground) return 1;
  const auto* target = static_cast<const DirEntry*>(files->drop_target_item);
  void* dragged = tracks && tracks->drag_source_item ? tracks->drag_source_item : files->drag_source_item;
  return dragged && target->kind != kDirEntryParent && target != dragged ? 1 : 0;
}
