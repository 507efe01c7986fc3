// The Create Directory dialog: asks for a name and makes that folder in the
// output folder.
#pragma once

#include <windows.h>

struct DialogFrame;

enum class CreateDirOutcome {
  kRefused,  // the name holds a character file names cannot hold; dialog stays open
  kCreated,
  kFailed,  // the system's reason was shown (e.g. the folder exists)
};

// What OK does with the typed name: refuse it with the illegal-characters
// message, or make the folder and show the system's text when that fails.
CreateDirOutcome CreateDirectoryFromName(HWND owner, const char* output_folder, const char* name);

struct CreateDirRequest {
  DialogFrame* parent = nullptr;
  const char* output_folder = nullptr;
  // Called after a failed attempt so that the file list shows the folder as
  // it is; the caller refreshes again after the dialog in any case.
  void (*refresh_file_list)(void* context) = nullptr;
  void* context = nullptr;
  bool modal = true;
};

// Modal: 1 when a folder was made, 0 otherwise, -1 when the dialog could not
// be opened.  Modeless: 1 when the window was created.
INT_PTR RunCreateDirectoryDialog(const CreateDirRequest& request);
