// The track list of the source pane: one item per audio track of the disc,
// with its title (editable) and its length.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "cd/track_table.h"
#include "rip/rip_job.h"

struct DialogFrame;
struct ListViewCtl;

constexpr int kTrackTitleBufferSize = 81;
constexpr int kTrackLengthTextSize = 12;

struct TrackItem {
  char* title;                               // malloc'd; replaced by renaming
  char filled_title[kTrackTitleBufferSize];  // the title the list gave it; differs once renamed
  char length_text[kTrackLengthTextSize];    // "%2d:%02d.%02d"
  int track_index;                           // position in the TrackTable
};

// What the track list's context menu needs to know of the main window.
struct TrackMenuState {
  bool ripping;
  bool lookup_pending;
};

// Creates the list view wrapper over control 1044 of the main window; the
// context menu asks `menu_state` how to enable its items.
ListViewCtl* CreateTrackList(DialogFrame* frame, TrackMenuState (*menu_state)());

// Enables the items of the track list's context menu.
void PrepareTrackMenu(HMENU menu, int selected_tracks, const TrackMenuState& state);
void DestroyTrackList();
ListViewCtl* TrackListControl();

// Refills the list from the table.  `lookup_titles` (may be null) are used
// only when there is one per track; otherwise tracks are "Track 01" ...
// `kept` (may be null) gives titles by track index that win over both.
void FillTrackList(const TrackTable& table, const std::vector<std::string>* lookup_titles,
                   const std::map<int, std::string>* kept = nullptr);

// The titles the user gave tracks by renaming them, by track index.
std::map<int, std::string> RenamedTrackTitles();
void ClearTrackList();
int TrackItemCount();
int SelectedTrackCount();
bool TrackListHasFocus();

// Icons follow the output format.
void SetTrackListFormat(int format);

// Puts every selected item (every item when none is selected), in list
// order, into the job: track index and title.  Returns the count.
int CollectTracksForJob(RipJob* job);

// Starts renaming the current item in place.
void RenameCurrentTrack();

// Moves to the next item after the current one whose title starts with `c`
// (ignoring case), wrapping once.  Returns true when one was found.
bool TypeAheadTrack(char c);

// Title of the item at a list position, for tests and the status line.
const char* TrackTitleAt(int position);
const char* TrackLengthTextAt(int position);
