// Tracks dragged from the track list onto the file list, and whether a drag
// may end where it is.
#include <cstdio>
#include <iterator>

#include "app/destination_pane_internal.h"
#include "app/main_window_state.h"
#include "app/track_list.h"
#include "controls/list_view.h"
#include "files/file_list.h"

namespace {

// The track list is where a drag of tracks ends, wherever they are dropped.
void TrackListDrop(ListViewCtl* tracks, HDROP drop) {
  if (drop) {
    DragFinish(drop);  // files from the shell have no place among the tracks
    return;
  }
  ListViewCtl* files = PaneFileList();
  MainState& main = Main();
  if (!files || main.ripping || !TakeTypedOutputFolder()) return;
  const std::string folder = FileListDropFolder(files, files->drop_target_item, FileListDropKind::kOtherItems);
  if (folder.empty()) return;
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
  std::snprintf(main.job.output_folder, sizeof main.job.output_folder, "%s", folder.c_str());
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
  if (!files) return 0;
  const bool tracks_dragged = tracks && tracks->drag_source_item;
  if (!tracks_dragged && !files->drag_source_item) return 0;
  const FileListDropKind kind = tracks_dragged ? FileListDropKind::kOtherItems : FileListDropKind::kOwnEntries;
  return FileListDropFolder(files, files->drop_target_item, kind).empty() ? 0 : 1;
}
