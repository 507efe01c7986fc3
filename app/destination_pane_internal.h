// What the destination pane's source files share.
#pragma once

#include <string>

#include "app/destination_pane.h"

struct ListViewCtl;

// destination_pane.cpp
ListViewCtl* PaneFileList();
const DestinationPaneServices& PaneServices();
std::string OutputFolder();
// The selected entries of the file list, in list order.
std::vector<DirEntry*> SelectedFileEntries();
void ShowUnableToOpen();

// destination_pane_clipboard.cpp
void CutOrCopyFileEntries(bool cut);
void PasteIntoOutputFolder();
void DeleteSelectedFileEntries();

// destination_pane_watch.cpp
void StopFolderWatch();

// destination_pane_drop.cpp
void HookTrackListDrops();
