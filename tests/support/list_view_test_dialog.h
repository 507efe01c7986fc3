// A dialog with one report list view (control 500), run by the frame
// procedure, for the list view tests.
#pragma once

#include <windows.h>

#include <string>

#include "controls/dialog_frame.h"

constexpr int kTestListId = 500;
constexpr int kTestDialogId = 9100;

class TestListDialog {
 public:
  TestListDialog();
  ~TestListDialog();
  TestListDialog(const TestListDialog&) = delete;
  TestListDialog& operator=(const TestListDialog&) = delete;
  DialogFrame* frame() const { return frame_; }
  HWND list_window() const { return GetDlgItem(frame_->window, kTestListId); }
  // Closes the window now (the list saves its columns on the way).
  void Close();
  // Number of list view entries the frame holds for the control.
  int FrameListEntries() const;

 private:
  DialogFrame* frame_ = nullptr;
};

// The text of one cell of a report list view.
std::string CellText(HWND list, int index, int column);
