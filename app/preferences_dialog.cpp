#include "app/preferences_dialog.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "controls/dialog_resources.h"
#include "common/message_format.h"
#include "common/proxy_entry.h"
#include "common/strings.h"
#include "common/text_utils.h"
#include "controls/dialog_frame.h"
#include "res/preferences_ids.h"
#include "app/product_name.h"
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

  SetDlgItemTextA(dialog, IDC_PREFS_FLAC_LEVEL, std::to_string(settings.flac_level).c_str());
  SetDlgItemTextA(dialog, IDC_PREFS_OPUS_BITRATE, std::to_string(settings.opus_bitrate).c_str());
  SetDlgItemTextA(dialog, IDC_PREFS_READ_OFFSET, std::to_string(settings.verify.read_offset).c_str());
  CheckDlgButton(dialog, IDC_PREFS_WRITE_TAGS, settings.tags == 1 ? BST_CHECKED : BST_UNCHECKED);
}

// A whole number within [low, high], blanks around it allowed, and a sign
// where the range reaches below zero.
bool ReadRangedField(HWND dialog, int id, int32_t low, int32_t high, int32_t* value) {
  const std::string text = FieldText(dialog, id);
  const size_t first = text.find_first_not_of(" \t");
  const size_t last = text.find_last_not_of(" \t");
  if (first == std::string::npos || last - first >= 6) return false;
  const std::string number_text = text.substr(first, last - first + 1);
  const bool signed_text = low < 0 && (number_text[0] == '-' || number_text[0] == '+');
  const std::string digits = signed_text ? number_text.substr(1) : number_text;
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  const int32_t number = ParseSettingInteger(number_text.c_str());
  if (number < low || number > high) return false;
  *value = number;
  return true;
}

int32_t& FlacLevel(AppSettings& settings) { return settings.flac_level; }
int32_t& OpusBitrate(AppSettings& settings) { return settings.opus_bitrate; }
int32_t& ReadOffset(AppSettings& settings) { return settings.verify.read_offset; }

struct RangedField {
  int control;
  int32_t low;
  int32_t high;
  UINT message;
  int32_t& (*setting)(AppSettings&);
};

const RangedField kRangedFields[] = {
    {IDC_PREFS_FLAC_LEVEL, kFlacLowestLevel, kFlacHighestLevel, IDS_FLAC_LEVEL_RANGE, FlacLevel},
    {IDC_PREFS_OPUS_BITRATE, kOpusLowestBitrate, kOpusHighestBitrate, IDS_OPUS_BITRATE_RANGE, OpusBitrate},
    {IDC_PREFS_READ_OFFSET, -kReadOffsetLimit, kReadOffsetLimit, IDS_READ_OFFSET_RANGE, ReadOffset},
};

// Says which field is out of range and puts the caret there; true when all
// fields are usable, and then they are taken.
bool TakeRangedFields(HWND dialog, AppSettings& settings) {
  int32_t values[sizeof kRangedFields / sizeof kRangedFields[0]];
  for (size_t i = 0; i < sizeof kRangedFields / sizeof kRangedFields[0]; ++i) {
    const RangedField& field = kRangedFields[i];
    if (ReadRangedField(dialog, field.control, field.low, field.high, &values[i])) continue;
    const std::string low = TextWithNumber(LoadStringText(field.message), int(field.low));
    ShowMessageBox(dialog, MessageBoxIcon::kWarning, kProductName, "%s",
                   TextWithNumber(low.c_str(), int(field.high)).c_str());
    const HWND edit = GetDlgItem(dialog, field.control);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    return false;
  }
  for (size_t i = 0; i < sizeof kRangedFields / sizeof kRangedFields[0]; ++i) {
    kRangedFields[i].setting(settings) = values[i];
  }
  return true;
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
  settings.tags = IsDlgButtonChecked(dialog, IDC_PREFS_WRITE_TAGS) == BST_CHECKED ? 1 : 0;
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
          if (!TakeRangedFields(frame->window, *request->settings)) return 1;
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
