#include "controls/dialog_resources.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/common_library.h"
#include "common/win_owners.h"
#include "controls/frame_control_list.h"
#include "controls/frame_help_pane.h"
#include "controls/frame_services.h"

namespace {

constexpr size_t kReferencePartSize = 1024;
constexpr WORD kComboSetFocus = 3;
constexpr WORD kButtonSetFocus = 6;
constexpr WORD kEditSetFocus = 256;

int ShowSystemMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}

DialogMessageBoxFunc g_message_box = ShowSystemMessageBox;
DialogFatalExitHook g_fatal_exit_hook = nullptr;
char g_error_text[1024];

[[noreturn]] void FailReference(const char* text, const char* caption) {
  g_message_box(nullptr, text, caption, MB_OK | MB_ICONERROR);
  // Taken first: a failure inside the hook must not run it again.
  const DialogFatalExitHook hook = g_fatal_exit_hook;
  g_fatal_exit_hook = nullptr;
  if (hook != nullptr) hook();
  ExitProcess(kDialogReferenceExitCode);
}

// Frame set-up shared by both creation paths.
DialogFrame* SetUpFrame(const DialogRequest& request, int template_id) {
  DialogFrame* frame = request.holder != nullptr ? *request.holder : nullptr;
  if (frame != nullptr) {
    frame->window = nullptr;
    FreeFrameControls(frame);
    frame->auto_free = 0;
  } else {
    frame = NewDialogFrame();
    if (frame == nullptr) return nullptr;
    if (request.holder != nullptr) {
      *request.holder = frame;
    } else {
      frame->auto_free = 1;
    }
  }
  frame->owner_proc = request.procedure != nullptr ? request.procedure : DefaultDialogProc;
  frame->init_func = request.init;
  frame->modal = request.modal ? 1 : 0;
  if ((request.min_width & 0xFFFF) != 0) frame->min_width = static_cast<int16_t>(request.min_width);
  if ((request.min_height & 0xFFFF) != 0) frame->min_height = static_cast<int16_t>(request.min_height);
  frame->owner_param = request.user_data;
  frame->dialog_id = template_id;
  DialogFrame* parent = request.parent;
  if (parent != nullptr && frame->help_topic_of == nullptr) {
    frame->help_command = parent->help_command;
    frame->help_topic_of = parent->help_topic_of;
    if (parent->help_pane != nullptr && frame->help_pane != parent->help_pane) {
      ReleaseHelpPane(frame->help_pane);
      RetainHelpPane(parent->help_pane);
      frame->help_pane = parent->help_pane;
    }
  }
  return frame;
}

HWND OwnerWindow(const DialogRequest& request) { return request.parent != nullptr ? request.parent->window : nullptr; }

// A frame freed by a failed modeless creation would otherwise leak: the
// window that frees it never existed.
void DropUnusedFrame(const DialogRequest& request, DialogFrame* frame) {
  if (request.holder == nullptr && frame->window == nullptr) FreeDialogFrame(frame);
}

// A modal dialog's window is gone when the call that ran it returns, whether
// it ran or could not be made at all.  So a frame without a holder is freed
// there rather than with its window: one that never got a window would leak.
void TakeOverModalFrame(const DialogRequest& request, DialogFrame* frame) {
  if (request.holder == nullptr) frame->auto_free = 0;
}

void FreeTakenOverFrame(const DialogRequest& request, DialogFrame* frame) {
  if (request.holder == nullptr) FreeDialogFrame(frame);
}

}  // namespace

void SetDialogFatalExitHook(DialogFatalExitHook hook) { g_fatal_exit_hook = hook; }

void SetDialogMessageBoxFunc(DialogMessageBoxFunc show) {
  g_message_box = show != nullptr ? show : ShowSystemMessageBox;
}

INT_PTR CreateDialogFromResource(const DialogRequest& request, int template_id) {
  DialogFrame* frame = SetUpFrame(request, template_id);
  if (frame == nullptr) return request.modal ? -1 : 0;
  const LPCSTR name = MAKEINTRESOURCEA(template_id & 0xFFFF);
  const LPARAM parameter = reinterpret_cast<LPARAM>(frame);
  if (request.modal) {
    TakeOverModalFrame(request, frame);
    const INT_PTR result = DialogBoxParamA(LibraryInstance(), name, OwnerWindow(request), FrameDialogProc, parameter);
    FreeTakenOverFrame(request, frame);
    return result;
  }
  HWND window = CreateDialogParamA(LibraryInstance(), name, OwnerWindow(request), FrameDialogProc, parameter);
  if (window == nullptr) {
    DropUnusedFrame(request, frame);
    return 0;
  }
  return 1;
}

INT_PTR CreateDialogFromReference(const DialogRequest& request, const char* reference) {
  const char* question = reference != nullptr ? std::strchr(reference, '?') : nullptr;
  std::string file_name =
      question != nullptr ? std::string(reference, question) : std::string(reference ? reference : "");
  std::string resource_name = question != nullptr ? std::string(question + 1) : std::string();
  // Longer parts would not have fitted the loader's buffers; cut them as the
  // lookup would.
  if (file_name.size() >= kReferencePartSize) file_name.resize(kReferencePartSize - 1);
  if (resource_name.size() >= kReferencePartSize) resource_name.resize(kReferencePartSize - 1);
  const int template_id = resource_name.size() > 1 ? std::atoi(resource_name.c_str() + 1) : 0;

  ModuleHandle library(LoadLibraryA(file_name.c_str()));
  if (!library) FailReference("Dialog DLL not found.", file_name.c_str());
  HRSRC resource = FindResourceA(library.get(), resource_name.c_str(), reinterpret_cast<LPCSTR>(RT_DIALOG));
  HGLOBAL loaded = resource != nullptr ? LoadResource(library.get(), resource) : nullptr;
  const auto* dialog_template = loaded != nullptr ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
  if (dialog_template == nullptr) {
    library.reset();
    FailReference("Resource not found in DLL.", resource_name.c_str());
  }

  // A browser control's window needs the host's window class.
  LoadControlHostLibrary();
  INT_PTR result = request.modal ? -1 : 0;
  DialogFrame* frame = SetUpFrame(request, template_id);
  if (frame != nullptr) {
    const LPARAM parameter = reinterpret_cast<LPARAM>(frame);
    if (request.modal) {
      TakeOverModalFrame(request, frame);
      result =
          DialogBoxIndirectParamA(LibraryInstance(), dialog_template, OwnerWindow(request), FrameDialogProc, parameter);
      FreeTakenOverFrame(request, frame);
    } else {
      HWND window = CreateDialogIndirectParamA(LibraryInstance(), dialog_template, OwnerWindow(request),
                                               FrameDialogProc, parameter);
      if (window != nullptr) {
        result = 1;
      } else {
        DropUnusedFrame(request, frame);
      }
    }
  }
  return result;
}

INT_PTR CreateDialogFromResource(DialogFrame** holder, DialogFrame* parent, int template_id, FrameProc procedure,
                                 bool modal) {
  DialogRequest request;
  request.holder = holder;
  request.parent = parent;
  request.procedure = procedure;
  request.modal = modal;
  return CreateDialogFromResource(request, template_id);
}

INT_PTR CreateDialogFromReference(DialogFrame** holder, DialogFrame* parent, const char* reference, FrameProc procedure,
                                  bool modal, void* user_data) {
  DialogRequest request;
  request.holder = holder;
  request.parent = parent;
  request.procedure = procedure;
  request.modal = modal;
  request.user_data = user_data;
  return CreateDialogFromReference(request, reference);
}

INT_PTR CreateDialogFromReference(DialogFrame** holder, DialogFrame* parent, const char* reference, FrameProc procedure,
                                  bool modal) {
  return CreateDialogFromReference(holder, parent, reference, procedure, modal, nullptr);
}

int DefaultDialogProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM /*lparam*/) {
  if (message == WM_INITDIALOG) {
    ShowContextHelp(frame, frame->dialog_id);
    return 1;
  }
  if (message == WM_COMMAND) {
    const WORD code = HIWORD(wparam);
    const WORD id = LOWORD(wparam);
    if (code == kComboSetFocus || code == kButtonSetFocus || code == kEditSetFocus) ShowContextHelp(frame, id);
    // Only a click closes: the buttons also report focus changes and the like.
    if (code != BN_CLICKED) return 0;
    if (id == IDOK) CloseDialogFrame(frame, 1);
    if (id == IDCANCEL) CloseDialogFrame(frame, 0);
  }
  return 0;
}

void CloseDialogFrame(DialogFrame* frame, INT_PTR result) {
  if (frame == nullptr || frame->window == nullptr) return;
  if (frame->modal) {
    EndDialog(frame->window, result);
  } else {
    DestroyWindow(frame->window);
  }
}

DialogFrame* NewDialogFrame() {
  auto* frame = static_cast<DialogFrame*>(std::calloc(1, sizeof(DialogFrame)));
  return frame;
}

void FreeDialogFrame(DialogFrame* frame) {
  if (frame == nullptr) return;
  FreeFrameControls(frame);
  const FrameServices& services = FrameServicesTable();
  if (services.release_bars != nullptr) services.release_bars(frame);
  if (services.release_layout != nullptr) services.release_layout(frame);
  // The frame is a calloc'd record read by every module, so its menu is a raw
  // handle that the frame's own release code frees.
  if (frame->menu != nullptr) DestroyMenu(frame->menu);
  ReleaseHelpPane(frame->help_pane);
  std::free(frame);
}

int IsResizableWindow(HWND window) {
  if (window == nullptr || !IsWindow(window)) return 0;
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  return (style & WS_CHILD) == 0 && (style & WS_THICKFRAME) != 0 ? 1 : 0;
}

int HasBorderStyle(HWND window) {
  if (window == nullptr || !IsWindow(window)) return 0;
  return (GetWindowLongA(window, GWL_STYLE) & WS_BORDER) != 0 ? 1 : 0;
}

int HasCaptionStyle(HWND window) {
  if (window == nullptr || !IsWindow(window)) return 0;
  return (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != 0 ? 1 : 0;
}

const char* SystemErrorText(DWORD error_code) {
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error_code,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), g_error_text, sizeof(g_error_text), nullptr);
  if (length == 0) return nullptr;
  g_error_text[sizeof(g_error_text) - 1] = '\0';
  return g_error_text;
}
