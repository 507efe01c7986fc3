// What the main window's two source files share.
#pragma once

#include <windows.h>

#include <string>

#include "app/main_window.h"
#include "cd/track_table.h"
#include "rip/rip_job.h"

struct DialogFrame;
struct ListViewCtl;

struct MainState {
  DialogFrame* frame = nullptr;
  HWND window = nullptr;
  bool commands_enabled = false;
  bool cd_ready = false;
  bool lookup_pending = false;
  bool ripping = false;
  int copied_tracks = 0;
  std::string album_title;
  std::string artist;
  TrackTable tracks{};
  RipJob job{};
  DiscLookupResult lookup;
  ListViewCtl* file_list = nullptr;
};

MainState& Main();

// main_window.cpp
void RefreshCd();
void UpdateCommandStates();
void UpdateWindowTitle();
void RefillTrackList();
void RefreshFileList();

int HandleSourcePaneChange(int control, int notification);

// main_window_commands.cpp
int HandleMainCommand(int command, int notification, HWND control);
void StartRipOfCollectedTracks();
void SaveSettingsOnClose();
// Timer 999: an external encoder may have ended.
void OnEncoderWatchTick();
