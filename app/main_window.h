// The main window: a modeless dialog from template 101 with the source pane
// (drive, album, artist, tracks) and the destination pane (output folder,
// format, files), and the rip flow from RIP to the end of the job.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "cd/track_table.h"
#include "rip/rip_job.h"

struct DialogFrame;

// The procedure given to the dialog layer for template 101.
int MainWindowProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);

HWND MainWindowHandle();

// Starts a disc lookup for the current drive and returns true when it
// started; the main window is told the end with WM_USER 1000.  Null until a
// lookup service is installed.
extern bool (*g_start_disc_lookup)(HWND notify);

struct DiscLookupResult;
// At WM_USER 1000, on the interface thread: hands over the result of the
// lookup that ended.  False when there is none.  Null until installed.
extern bool (*g_take_disc_lookup)(DiscLookupResult* result);

// What the window shows and has done, for tests and the shell.
struct MainWindowView {
  bool cd_ready;
  bool lookup_pending;
  bool ripping;
  int copied_tracks;
  std::string album_title;
  std::string artist;
  const TrackTable* tracks;
  const RipJob* job;
};
MainWindowView GetMainWindowView();

// The result of a lookup as the lookup service hands it over: the disc title
// ("Artist / Album"), the chosen match's own artist and title, and the
// record's track titles, one per track of the table of contents.
struct DiscLookupResult {
  bool found = false;
  std::string disc_title;
  std::string artist;
  std::string title;
  std::vector<std::string> track_titles;
  std::string year;
  std::string genre;
  std::string disc_id;
};
