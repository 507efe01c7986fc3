#include "app/preferences_dialog.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "controls/dialog_resources.h"
#include "common/proxy_entry.h"
#include "common/strings.h"
#include "common/text_utils.h"
#include "controls/dialog_frame.h"
#include "res/preferences_ids.h"
#include "res/string_ids.h"

namespace {

constexpr int kFieldBuffer = 20000;

ProgramChooser g_choose_program = ChooseOpenFile;

std::string FieldText(HWND dialog, int id) {
  std::vector<char> text(kFieldBuffer, '\0');
  GetDlgItemTextA(dialog, id, text.data(), kFieldBuffer);
  return text.data();
}

// The setting is usually one of the detected browsers: a program already in
// the list is not offered again.  The combo compares without case, as Windows
// compares paths.
void AddBrowserChoice(HWND combo, const std::string& browser) {
  if (browser.empty()) return;
  const LPARAM text = reinterpret_cast<LPARAM>(browser.c_str());
  if (SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), text) != CB_ERR) return;
  SendMessageA(combo, CB_ADDSTRING, 0, text);
}

void FillFields(HWND dialog, const PreferencesRequest& request) {
  const AppSettings& settings = *request.settings;
  const HWND combo = GetDlgItem(dialog, IDC_PREFS_BROWSER);
  if (settings.browser) AddBrowserChoice(combo, *settings.browser);
  AddBrowserChoice(combo, request.browsers.second);
  AddBrowserChoice(combo, request.browsers.first);
  SetWindowTextA(combo, settings.browser ? settings.browser->c_str() : "");

  SetDlgItemTextA(dialog, IDC_PREFS_MP3_PROGRAM, settings.mp3_encoder ? settings.mp3_encoder->c_str() : "");
  SetDlgItemTextA(dialog, IDC_PREFS_MP3_PARAMS, Mp3ParametersToShow(settings.mp3_encoder, settings.mp3_params).c_str());

  const ProxyValues& proxy = *request.proxy;
  SetDlgItemTextA(dialog, IDC_PREFS_PROXY_HOST, proxy.host ? proxy.host.get() : "");
  SetDlgItemTextA(dialog, IDC_PREFS_PROXY_PORT, std::to_string(proxy.port).c_str());
}

// The chosen program is taken at once, so it stays even when the dialog is
// then cancelled.  The chooser must leave the working folder alone: config.ini
// and the intermediate WAV files are found through it.
void ChooseProgram(HWND dialog, const PreferencesRequest& request) {
  AppSettings& settings = *request.settings;
  std::string start_folder = settings.path ? *settings.path : "";
  OpenFileRequest chooser;
  chooser.owner = dialog;
  chooser.folder = &start_folder;
  chooser.title = LoadStringText(IDS_SELECT_OUTPUT_FOLDER);
  chooser.flags =
      OFN_ENABLESIZING | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  const std::optional<std::string> chosen = g_choose_program(chooser);
  if (!chosen) return;
  settings.mp3_encoder = *chosen;
  SetDlgItemTextA(dialog, IDC_PREFS_MP3_PROGRAM, chosen->c_str());
  SetDlgItemTextA(dialog, IDC_PREFS_MP3_PARAMS, Mp3ParametersToShow(settings.mp3_encoder, settings.mp3_params).c_str());
}

// Every field is taken as typed.  The host is handed to the lookup even when
// it is empty, so that clearing it turns the proxy off.
void TakeFields(HWND dialog, const PreferencesRequest& request) {
  AppSettings& settings = *request.settings;
  settings.browser = FieldText(dialog, IDC_PREFS_BROWSER);

  ProxyValues& proxy = *request.proxy;
  // People paste whole addresses ("http://user@proxy:8080/"): the host
  // field keeps the host, and a port typed in it is the port.
  const ProxyAddress address = SplitProxyAddress(FieldText(dialog, IDC_PREFS_PROXY_HOST));
  proxy.host.reset(StrDup(address.host.c_str()));
  proxy.port = address.port != 0 ? address.port : ParseSettingInteger(FieldText(dialog, IDC_PREFS_PROXY_PORT).c_str());
  if (request.hand_proxy) request.hand_proxy(proxy);

  settings.mp3_encoder = FieldText(dialog, IDC_PREFS_MP3_PROGRAM);
  settings.mp3_params = FieldText(dialog, IDC_PREFS_MP3_PARAMS);
  settings.new_window = 1;
}

int PreferencesProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM) {
  auto* request = static_cast<const PreferencesRequest*>(frame->owner_param);
  switch (message) {
    case WM_INITDIALOG:
      FillFields(frame->window, *request);
      return 1;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_PREFS_CHOOSE_PROGRAM:
          if (HIWORD(wparam) == BN_CLICKED) ChooseProgram(frame->window, *request);
          return 1;
        case IDOK:
        case IDC_PREFS_OK:
          TakeFields(frame->window, *request);
          CloseDialogFrame(frame, 1);
          return 1;
        case IDCANCEL:
        case IDC_PREFS_CANCEL:
          CloseDialogFrame(frame, 0);
          return 1;
      }
      break;
  }
  return 0;
}

}  // namespace

std::string Mp3ParametersToShow(const SettingText& program, const SettingText& parameters) {
  if (parameters && !parameters->empty()) return *parameters;
  if (program && !program->empty()) return kDefaultMp3Parameters;
  return "";
}

void SetPreferencesProgramChooser(ProgramChooser chooser) { g_choose_program = chooser ? chooser : ChooseOpenFile; }

INT_PTR RunPreferencesDialog(const PreferencesRequest& request) {
  if (!request.settings || !request.proxy) return -1;
  DialogRequest dialog;
  dialog.parent = request.parent;
  dialog.procedure = PreferencesProc;
  dialog.modal = true;
  dialog.user_data = const_cast<PreferencesRequest*>(&request);
  return CreateDialogFromResource(dialog, IDD_PREFERENCES);
}
