// The "WMA Encoder Error" dialog: the encoder component is missing, and here
// is where to get it.  The rip worker never shows it itself: it asks the
// job window's thread with a sent message and waits for the answer.
#pragma once

#include <windows.h>

struct DialogFrame;

// Where the encoder can be downloaded.
constexpr char kWmaEncoderDownloadAddress[] = "http://www.microsoft.com/windows/windowsmedia/download/";

// Sent (never posted) to the job's window; lParam points to a
// WmaErrorDialogRequest that lives until SendMessage returns.
constexpr UINT kWmaErrorDialogMessage = WM_APP + 203;

struct WmaErrorDialogRequest {
  INT_PTR answer = 0;  // 1 Install Now, 0 Cancel
  bool answered = false;
};

// Worker side: the dialog's answer, 0 when the window is gone or did not answer.
INT_PTR AskForWmaErrorDialog(HWND job_window);

// What the job window does with kWmaErrorDialogMessage: runs the dialog
// modally over `owner` and stores the answer.
void AnswerWmaErrorDialogRequest(DialogFrame* owner, LPARAM request);

// Modal; 1 after Install Now, 0 after Cancel, -1 when it could not be shown.
INT_PTR RunWmaErrorDialog(DialogFrame* parent, const char* address);

// Opens a web address for the user; false when nothing could open it.
using WebAddressOpener = bool (*)(HWND owner, const char* address);
// Installs the opener Install Now uses (null: the shell's handler for the
// address) and returns the previous one.
WebAddressOpener SetWmaDownloadOpener(WebAddressOpener open);
