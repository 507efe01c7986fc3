#include "files/create_dir_dialog.h"

#include <cstring>
#include <string>

#include "common/path_utils.h"
#include "common/strings.h"
#include "controls/dialog_frame.h"
#include "controls/dialog_resources.h"
#include "files/file_names.h"
#include "files/file_utils.h"
#include "res/create_dir_ids.h"
#include "res/string_ids.h"

namespace {

constexpr int kNameBuffer = 20000;

// The system's text for a failed step, with a fallback for codes it has none for.
std::string ErrorText(int code) {
  const char* text = SystemErrorText(static_cast<DWORD>(code));
  if (text && *text) return text;
  return "Error " + std::to_string(code);
}

void ShowBox(HWND owner, UINT caption_id, const std::string& text) {
  // Only a frame dialog owns the box, as before the owner was a window.
  const DialogFrame* frame = owner ? FrameFromWindow(owner) : nullptr;
  ShowMessageBox(frame ? frame->window : nullptr, MessageBoxIcon::kWarning, LoadStringText(caption_id), "%s",
                 text.c_str());
}

int CreateDirProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* request = static_cast<const CreateDirRequest*>(frame->owner_param);
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(frame->window, IDC_NEW_DIRECTORY_NAME, EM_LIMITTEXT, kNameBuffer - 1, 0);
      return 1;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
        case IDC_CREATE_DIRECTORY_OK: {
          std::string name(kNameBuffer, '\0');
          GetDlgItemTextA(frame->window, IDC_NEW_DIRECTORY_NAME, &name[0], kNameBuffer);
          name.resize(std::strlen(name.c_str()));
          const CreateDirOutcome outcome =
              CreateDirectoryFromName(frame->window, request ? request->output_folder : nullptr, name.c_str());
          if (outcome == CreateDirOutcome::kRefused) return 1;
          if (outcome == CreateDirOutcome::kFailed && request && request->refresh_file_list) {
            request->refresh_file_list(request->context);
          }
          CloseDialogFrame(frame, outcome == CreateDirOutcome::kCreated ? 1 : 0);
          return 1;
        }
        case IDCANCEL:
        case IDC_CREATE_DIRECTORY_CANCEL:
          CloseDialogFrame(frame, 0);
          return 1;
      }
      break;
  }
  (void)lparam;
  return 0;
}

}  // namespace

CreateDirOutcome CreateDirectoryFromName(HWND owner, const char* output_folder, const char* name) {
  const std::string typed = name ? name : "";
  if (typed.find_first_of(kIllegalNameCharacters) != std::string::npos) {
    ShowErrorBox(owner, "%s", LoadStringText(IDS_INVALID_FILENAME_CHARS));
    return CreateDirOutcome::kRefused;
  }
  std::string folder = std::string(output_folder ? output_folder : "") + "\\" + typed;
  folder.push_back('\0');
  PathNormaliseSlashes(&folder[0]);
  folder.resize(std::strlen(folder.c_str()));
  const int result = MakePath(folder.c_str());
  if (result == kMakePathCreated) return CreateDirOutcome::kCreated;
  ShowBox(owner, IDS_FILE_ERROR, ErrorText(result));
  return CreateDirOutcome::kFailed;
}

INT_PTR RunCreateDirectoryDialog(const CreateDirRequest& request) {
  DialogRequest dialog;
  dialog.parent = request.parent;
  dialog.procedure = CreateDirProc;
  dialog.modal = request.modal;
  dialog.user_data = const_cast<CreateDirRequest*>(&request);
  return CreateDialogFromResource(dialog, IDD_CREATE_DIRECTORY);
}
