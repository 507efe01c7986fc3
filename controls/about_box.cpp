#include "controls/about_box.h"

#include <string>

#include "common/about_page.h"
#include "common/about_system.h"
#include "common/common_library.h"
#include "common/file_exists.h"
#include "common/registry_read.h"
#include "common/strings.h"
#include "common/text_buf.h"
#include "common/win_owners.h"
#include "controls/dialog_frame.h"
#include "controls/dialog_resources.h"
#include "controls/page_view.h"
#include "dialogs/dialog_ids.h"

namespace {

constexpr char kAboutTemplate[] = "VelmaronDialogs.dll?#7300";
constexpr char kCommonKey[] = "Software\\VELMARON\\Common";
// Posted to the box once it is on screen: fill in the system texts.
constexpr WPARAM kFillSystemTexts = 999;
constexpr DWORD kRegistryTextBytes = 256;
constexpr LONG kVisibleChild = WS_CHILD | WS_VISIBLE;
// The page's own background, kept where it is shown as rich text.
constexpr COLORREF kPageBackground = RGB(0xD0, 0xD0, 0xD0);

AboutPageWriter g_writer = nullptr;

struct AboutBox {
  std::string current_folder;
  TextBufOwner page;
  GdiObject picture;
  UINT title_id = 0;
};

// A stored text, or none when the value is missing.
struct StoredText {
  char text[kRegistryTextBytes] = "";
  bool present = false;
  const char* get() const { return present ? text : nullptr; }
};

StoredText ReadProgramText(const char* sub_key, const char* value_name) {
  StoredText value;
  value.present = ReadMachineText(sub_key, value_name, value.text, sizeof value.text) != 0;
  return value;
}

std::string Label(UINT id) { return id ? std::string(LoadStringText(id)) : std::string(); }

HBITMAP LoadPicture() {
  std::string path;
  if (const char* base = LibraryModuleBaseName(); base && *base) path = std::string(base) + "\\about.bmp";
  if (path.empty() || !FileExists(path.c_str())) path = "about.bmp";
  if (!FileExists(path.c_str())) return nullptr;
  return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

std::string CurrentFolder() {
  const DWORD length = GetCurrentDirectoryA(0, nullptr);
  if (length == 0) return std::string();
  std::string folder(length, '\0');
  const DWORD written = GetCurrentDirectoryA(length, &folder[0]);
  folder.resize(written < length ? written : 0);
  return folder;
}

// Into the browser control, or as rich text where it gives no document;
// links open in the user's browser either way.
int ShowInPageView(DialogFrame* frame, HWND viewer, const char* html) {
  PageViewOptions options;
  options.background = kPageBackground;
  PageView* view = AttachPageView(frame, GetDlgCtrlID(viewer), options);
  return view ? ShowPage(view, html, nullptr) : 0;
}

void OnInitDialog(DialogFrame* frame, AboutBox* box) {
  if (box->picture) {
    SendDlgItemMessageA(frame->window, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(box->picture.get()));
  }
  if (HWND viewer = GetDlgItem(frame->window, IDC_ABOUT_BROWSER)) SetWindowLongA(viewer, GWL_STYLE, kVisibleChild);
  PostMessageA(frame->window, WM_USER, kFillSystemTexts, 0);
  if (box->title_id) SetWindowTextA(frame->window, LoadStringText(box->title_id));
}

void FillSystemTexts(DialogFrame* frame, AboutBox* box) {
  HWND viewer = GetDlgItem(frame->window, IDC_ABOUT_BROWSER);
  if (!viewer) return;
  TextBufOwner page;
  if (!TextAssign(page.ptr(), box->page.get())) return;
  if (!FillAboutSystemTexts(page.ptr(), CurrentSystemTexts())) return;
  (g_writer ? g_writer : ShowInPageView)(frame, viewer, page.get());
}

// The picture control may have drawn from a copy of the bitmap it was
// given; whichever it holds now is taken back so that none outlives the box.
void ReleasePicture(DialogFrame* frame, AboutBox* box) {
  if (!box->picture) return;
  HGDIOBJ held =
      reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(frame->window, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (held && held != box->picture.get()) DeleteObject(held);
}

int AboutBoxProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM) {
  auto* box = static_cast<AboutBox*>(frame->owner_param);
  if (!box) return 0;
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(frame, box);
      return 1;
    case WM_USER:
      // The dialog manager sends WM_USER itself (DM_GETDEFID, wParam 0).
      if (wparam != kFillSystemTexts) return 0;
      FillSystemTexts(frame, box);
      return 1;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        CloseDialogFrame(frame, 1);
        return 1;
      }
      return 0;
    case WM_DESTROY:
      ReleasePicture(frame, box);
      return 0;
    default:
      return 0;
  }
}

}  // namespace

void SetAboutPageWriter(AboutPageWriter writer) { g_writer = writer; }

INT_PTR RunAboutBox(const AboutBoxRequest& request) {
  AboutBox box;
  box.current_folder = CurrentFolder();
  box.title_id = request.labels.window_title;

  const StoredText home = ReadProgramText(nullptr, "home");
  const StoredText support = ReadProgramText(nullptr, "support");
  const StoredText faq = ReadProgramText(nullptr, "faq");
  StoredText cookie = ReadProgramText(nullptr, "cookie");
  if (!cookie.present) cookie = ReadProgramText(kCommonKey, "cookie");

  const AboutLabelIds& ids = request.labels;
  const std::string version = Label(ids.version), operating_system = Label(ids.operating_system),
                    memory = Label(ids.memory), free_memory = Label(ids.free_memory), home_label = Label(ids.home),
                    support_label = Label(ids.support), copyright = Label(ids.copyright);
  auto label = [](UINT id, const std::string& text) { return id ? text.c_str() : nullptr; };

  AboutPageInputs inputs;
  inputs.product_title = request.product_title;
  inputs.current_folder = box.current_folder.c_str();
  inputs.version_text = request.version_text;
  inputs.build_text = request.build_text;
  inputs.user_text = request.user_text;
  inputs.language_code = request.language_code;
  inputs.cookie = cookie.get();
  inputs.links = {home.get(), support.get(), faq.get()};
  inputs.labels.version = label(ids.version, version);
  inputs.labels.operating_system = label(ids.operating_system, operating_system);
  inputs.labels.memory = label(ids.memory, memory);
  inputs.labels.free_memory = label(ids.free_memory, free_memory);
  inputs.labels.home = label(ids.home, home_label);
  inputs.labels.support = label(ids.support, support_label);
  inputs.labels.copyright = label(ids.copyright, copyright);
  if (!BuildAboutPage(inputs, box.page.ptr())) return -1;

  box.picture.reset(LoadPicture());

  DialogRequest dialog;
  dialog.parent = request.parent;
  dialog.procedure = AboutBoxProc;
  dialog.modal = true;
  dialog.user_data = &box;
  return CreateDialogFromReference(dialog, kAboutTemplate);
}
