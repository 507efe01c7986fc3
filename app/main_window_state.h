// What the main window's two source files share.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "cd/track_table.h"
#include "common/win_owners.h"
#include "rip/rip_job.h"

struct DialogFrame;
struct ListViewCtl;

struct MainState {
  DialogFrame* frame = nullptr;
  HWND window = nullptr;
  bool commands_enabled = false;
  bool cd_ready = false;
  bool lookup_pending = false;
  // Counts the discs shown; a lookup result for an earlier one is dropped.
  uint32_t disc_generation = 0;
  uint32_t lookup_generation = 0;
  // A device change came while a lookup was pending: refresh at its end.
  bool refresh_after_lookup = false;
  // A disc image to open once no lookup or rip holds the current drive.
  std::string waiting_image;
  // Texts the user typed since the disc was read; a lookup leaves them alone.
  bool album_typed = false;
  bool artist_typed = false;
  bool showing_album = false;  // the program itself is filling the fields
  bool ripping = false;
  int copied_tracks = 0;
  std::string album_title;
  std::string artist;
  TrackTable tracks{};
  RipJob job{};
  std::vector<std::string> lookup_titles;  // per audio track; empty: generic names
  // What the lookup said of the disc besides its titles, for the files' tags.
  std::string lookup_year;
  std::string lookup_genre;
  std::string lookup_disc_id;
  // The AccurateRip lookup of the disc shown, started when its table of
  // contents was read (null when the setting is off or it could not start).
  std::shared_ptr<AccurateRipLookup> accuraterip;
  ListViewCtl* file_list = nullptr;
  IconHandle browse_icon;  // shown on the "..." button
};

MainState& Main();

// Makes the rate box (see RateCombo) once the window has been painted.
constexpr UINT_PTR kRateComboTimer = 110;

// WM_USER with this: open the disc image that waits, if the drive is free.
constexpr WPARAM kOpenWaitingImage = 1001;

// main_window.cpp
void RefreshCd();
// Lists the drives again, selects drive `drive` and reads its disc.
void ShowDriveInWindow(int drive);
void UpdateCommandStates();
void UpdateWindowTitle();
void RefillTrackList();
void RefreshFileList();
// The rate box, made now when it is not there yet; null when it cannot be made.
HWND RateCombo();

int HandleSourcePaneChange(int control, int notification);

// main_window_commands.cpp
int HandleMainCommand(int command, int notification, HWND control);
void StartRipOfCollectedTracks();
void SaveSettingsOnClose();
// Timer 999: an external encoder may have ended.
void OnEncoderWatchTick();
