#include "rip/wma_error_dialog.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "controls/dialog_resources.h"
#include "common/strings.h"
#include "controls/dialog_frame.h"
#include "res/string_ids.h"
#include "res/wma_error_ids.h"

namespace {

constexpr char kAddressPlaceholder[] = "$URL";
constexpr int kTextBuffer = 1024;

bool OpenWithShell(HWND owner, const char* address) {
  const HINSTANCE result = ShellExecuteA(owner, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

WebAddressOpener g_open_address = OpenWithShell;

// The template's text with the placeholder replaced, so that a translated
// text keeps the address where the translation puts it.
void ShowAddress(HWND dialog, const char* address) {
  char text[kTextBuffer] = "";
  GetDlgItemTextA(dialog, IDC_WMA_DOWNLOAD_ADDRESS, text, sizeof text);
  std::string shown = text;
  const std::string placeholder = kAddressPlaceholder;
  for (size_t at = shown.find(placeholder); at != std::string::npos;
       at = shown.find(placeholder, at + std::strlen(address))) {
    shown.replace(at, placeholder.size(), address);
  }
  SetDlgItemTextA(dialog, IDC_WMA_DOWNLOAD_ADDRESS, shown.c_str());
}

int WmaErrorProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM) {
  const auto* address = static_cast<const char*>(frame->owner_param);
  switch (message) {
    case WM_INITDIALOG:
      ShowAddress(frame->window, address);
      return 1;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_WMA_INSTALL_NOW) {
        if (!g_open_address(frame->window, address)) {
          ShowMessageBox(frame->window, MessageBoxIcon::kWarning, LoadStringText(IDS_BROWSER_ERROR), "%s",
                         LoadStringText(IDS_BROWSER_OPEN_FAILED));
        }
        CloseDialogFrame(frame, 1);
        return 1;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        CloseDialogFrame(frame, 0);
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace

INT_PTR AskForWmaErrorDialog(HWND job_window) {
  WmaErrorDialogRequest request;
  if (!IsWindow(job_window)) return 0;
  SendMessageA(job_window, kWmaErrorDialogMessage, 0, reinterpret_cast<LPARAM>(&request));
  return request.answered ? request.answer : 0;
}

void AnswerWmaErrorDialogRequest(DialogFrame* owner, LPARAM request) {
  auto* asked = reinterpret_cast<WmaErrorDialogRequest*>(request);
  if (!asked) return;
  const INT_PTR answer = RunWmaErrorDialog(owner, kWmaEncoderDownloadAddress);
  asked->answer = answer < 0 ? 0 : answer;
  asked->answered = true;
}

INT_PTR RunWmaErrorDialog(DialogFrame* parent, const char* address) {
  DialogRequest dialog;
  dialog.parent = parent;
  dialog.procedure = WmaErrorProc;
  dialog.modal = true;
  dialog.user_data = const_cast<char*>(address ? address : "");
  return CreateDialogFromResource(dialog, IDD_WMA_ENCODER_ERROR);
}

WebAddressOpener SetWmaDownloadOpener(WebAddressOpener open) {
  const WebAddressOpener previous = g_open_address;
  g_open_address = open ? open : OpenWithShell;
  return previous;
}
