#include "app/edit_tag_dialog.h"

#include "common/strings.h"
#include "controls/dialog_frame.h"
#include "controls/dialog_resources.h"
#include "controls/frame_services.h"
#include "res/edit_tag_ids.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "rip/tag_layout.h"

namespace {

// Longer texts fit no tag layout well; ID3v1 keeps 30 characters anyway.
constexpr int kTextLimit = 1023;
// Room for a few stray characters, so that a wrong year is told, not cut.
constexpr int kYearLimit = 16;

struct EditTagRequest {
  const char* path;
  EditableTags before;
  bool written = false;
};

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = control ? GetWindowTextLengthA(control) : 0;
  if (length <= 0) return std::string();
  std::string text(size_t(length) + 1, '\0');
  const int copied = GetWindowTextA(control, &text[0], length + 1);
  text.resize(copied > 0 ? size_t(copied) : 0);
  return text;
}

void ShowProblem(HWND owner, const char* path, UINT reason_id) {
  // The reason is a translated text, never a format.
  ShowMessageBox(owner, MessageBoxIcon::kWarning, LoadStringText(IDS_EDIT_TAG_TITLE), "%s\n\n%s", path,
                 LoadStringText(reason_id));
}

UINT ReasonId(TagFileResult result) {
  switch (result) {
    case TagFileResult::kReadOnly:
      return IDS_TAG_READ_ONLY;
    case TagFileResult::kNotAudio:
      return IDS_TAG_NOT_AUDIO;
    case TagFileResult::kInUse:
      return IDS_TAG_IN_USE;
    case TagFileResult::kFailed:
      return IDS_TAG_WRITE_FAILED;
    case TagFileResult::kDone:
      break;
  }
  return 0;
}

int EditTagProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM) {
  auto* request = static_cast<EditTagRequest*>(frame->owner_param);
  HWND dialog = frame->window;
  switch (message) {
    case WM_INITDIALOG: {
      const struct {
        int id;
        const std::string& text;
        int limit;
      } fields[] = {{IDC_TAG_TITLE, request->before.title, kTextLimit},
                    {IDC_TAG_ARTIST, request->before.artist, kTextLimit},
                    {IDC_TAG_ALBUM, request->before.album, kTextLimit},
                    {IDC_TAG_YEAR, request->before.year, kYearLimit}};
      for (const auto& field : fields) {
        SendDlgItemMessageA(dialog, field.id, EM_LIMITTEXT, WPARAM(field.limit), 0);
        SetDlgItemTextA(dialog, field.id, field.text.c_str());
      }
      return 1;
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
        case IDC_EDIT_TAG_OK: {
          EditableTags typed;
          typed.title = ControlText(dialog, IDC_TAG_TITLE);
          typed.artist = ControlText(dialog, IDC_TAG_ARTIST);
          typed.album = ControlText(dialog, IDC_TAG_ALBUM);
          typed.year = ControlText(dialog, IDC_TAG_YEAR);
          if (!SaveTypedTags(dialog, request->path, request->before, typed)) {
            SetFocus(GetDlgItem(dialog, IDC_TAG_YEAR));
            SendDlgItemMessageA(dialog, IDC_TAG_YEAR, EM_SETSEL, 0, -1);
            return 1;
          }
          request->written = !(typed == request->before);
          CloseDialogFrame(frame, request->written ? 1 : 0);
          return 1;
        }
        case IDCANCEL:
        case IDC_EDIT_TAG_CANCEL:
          CloseDialogFrame(frame, 0);
          return 1;
        case IDC_EDIT_TAG_HELP:
          // The dialog's topic is that of the command that opens it.
          if (FrameServicesTable().open_help_window) FrameServicesTable().open_help_window(frame, IDM_EDIT_MP3_TAG);
          return 1;
      }
      break;
  }
  return 0;
}

}  // namespace

std::string TagFileProblemText(TagFileResult result) {
  const UINT id = ReasonId(result);
  return id != 0 ? LoadStringText(id) : "";
}

bool SaveTypedTags(HWND owner, const char* path, const EditableTags& before, const EditableTags& typed) {
  if (!ParseTagYear(typed.year)) {
    ShowMessageBox(owner, MessageBoxIcon::kWarning, LoadStringText(IDS_EDIT_TAG_TITLE), "%s",
                   LoadStringText(IDS_TAG_BAD_YEAR));
    return false;
  }
  const TagFileResult result = SaveEditedTags(path, before, typed);
  if (result != TagFileResult::kDone) ShowProblem(owner, path, ReasonId(result));
  return true;
}

INT_PTR RunEditTagDialog(DialogFrame* parent, const char* path) {
  if (!path || TagLayoutForFileName(path) == TagLayout::kNone) return 0;
  HWND owner = parent ? parent->window : nullptr;
  EditTagRequest request{path, {}};
  const TagFileResult read = ReadEditableTags(path, &request.before);
  if (read != TagFileResult::kDone) {
    ShowProblem(owner, path, ReasonId(read));
    return 0;
  }
  DialogRequest dialog;
  dialog.parent = parent;
  dialog.procedure = EditTagProc;
  dialog.modal = true;
  dialog.user_data = &request;
  const INT_PTR result = CreateDialogFromResource(dialog, IDD_EDIT_TAG);
  return result < 0 ? -1 : (request.written ? 1 : 0);
}
