// The main window's commands: menus, buttons, accelerators and the edits of
// the source pane.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/destination_pane.h"
#include "app/disc_image_commands.h"
#include "app/help_commands.h"
#include "app/help_language.h"
#include "app/language_menu.h"
#include "app/main_toolbar.h"
#include "app/main_window_state.h"
#include "app/preferences_dialog.h"
#include "app/product_name.h"
#include "app/progress_dialog.h"
#include "app/rip_verdict.h"
#include "app/settings.h"
#include "app/settings_save.h"
#include "app/startup.h"
#include "app/track_list.h"
#include "cd/cd_drives.h"
#include "cd/rip_error.h"
#include "common/image_lists.h"
#include "common/language.h"
#include "common/menu_localisation.h"
#include "common/message_format.h"
#include "common/strings.h"
#include "common/win_params.h"
#include "controls/browser_launcher.h"
#include "controls/dialog_frame.h"
#include "controls/frame_item_texts.h"
#include "controls/frame_localisation.h"
#include "controls/frame_services.h"
#include "controls/list_view.h"
#include "controls/owner_menus.h"
#include "controls/toolbar.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "app/tips_viewer.h"
#include "rip/encoder_pool.h"
#include "rip/encoder_watch.h"
#include "rip/format_encoders.h"

namespace {

int FocusedListId() { return LastFocusedListId(); }

// Menus and accelerators come without a control; a button also reports focus
// changes and the like, and only its click is a command.
bool IsCommandFromClick(int notification, HWND control) { return control == nullptr || notification == BN_CLICKED; }

void ShowRipResult(int result) {
  if (result == 0) return;
  char text[256];
  if (result >= 1 && result <= kHighestKnownRipError) {
    std::snprintf(text, sizeof text, "%s", LoadStringText(UINT(IDS_RIP_ERROR_FIRST + result - 1)));
  } else {
    std::snprintf(text, sizeof text, "%s", TextWithNumber(LoadStringText(IDS_RIP_ERROR_UNKNOWN), result).c_str());
  }
  ShowMessageBox(Main().frame ? Main().frame->window : nullptr, MessageBoxIcon::kWarning, kProductName, "%s", text);
}

void ApplyLanguageToWindow() {
  MainState& main = Main();
  LocaliseDialogWindows(main.window, IDD_MAIN_WINDOW);
  HMENU old_menu = GetMenu(main.window);
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MAIN_MENU));
  if (menu) {
    LocaliseMenu(menu);
    SetMenu(main.window, menu);
    main.frame->menu = menu;
    // The frame's record holds its menu raw (see FreeDialogFrame).
    if (old_menu) DestroyMenu(old_menu);
    RemoveMissingLanguages(menu);
    CheckMenuItem(menu, IDM_TOOLBAR, MenuCheckFlags(g_settings.view));
    ConvertFrameMenu(main.frame, menu, SmallImageList(), IDM_MAIN_MENU);
  }
  ListViewRetitleColumns(TrackListControl());
  ListViewRetitleColumns(main.file_list);
  RelabelToolbar(FindToolbar(main.frame, IDC_TOOLBAR));
  UpdateWindowTitle();
  UpdateCommandStates();
  RedrawWindow(main.window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

void SwitchLanguage(const char* code) {
  const char* current = GetLanguageCode();
  if (!code && !current && !HasTranslations()) return;
  if (current || HasTranslations()) {
    ReleaseLanguage();
    ApplyLanguageToWindow();
  }
  if (code) {
    LoadLanguage(code);
    ApplyLanguageToWindow();
  }
  ReopenHelpInLanguage(Main().frame, g_settings);
}

void ReadControlsIntoSettings() {
  MainState& main = Main();
  char* text = nullptr;
  ReadItemText(main.frame, IDC_ALBUM_TITLE, &text);
  if (text) main.album_title = text;
  ReadItemText(main.frame, IDC_ARTIST, &text);
  if (text) main.artist = text;
  ReadItemText(main.frame, IDC_OUTPUT_FOLDER, &text);
  if (text) g_settings.path = std::string(text);
  ReadItemText(main.frame, IDC_FILE_MASK, &text);
  if (text) g_settings.list_mask = std::string(text);
  RateCombo();
  ReadItemText(main.frame, IDC_RATE_COMBO, &text);
  if (text && std::atoi(text) > 0) g_settings.output_rate = std::atoi(text);
  std::free(text);
  const LRESULT drive = SendDlgItemMessageA(main.window, IDC_DRIVE_COMBO, CB_GETCURSEL, 0, 0);
  if (drive != CB_ERR) g_settings.audiocd_drive_selected = int(drive);
  const LRESULT format = SendDlgItemMessageA(main.window, IDC_FORMAT_COMBO, CB_GETCURSEL, 0, 0);
  if (format != CB_ERR) g_settings.output_format = int(format);
}

void CollectTracks() {
  MainState& main = Main();
  main.copied_tracks = CollectTracksForJob(&main.job);
}

void Rip() {
  MainState& main = Main();
  if (main.ripping || !TakeTypedOutputFolder()) return;
  CollectTracks();
  std::snprintf(main.job.output_folder, sizeof main.job.output_folder, "%s",
                g_settings.path ? g_settings.path->c_str() : "");
  StartRipOfCollectedTracks();
}

void RenameInFocusedList() {
  MainState& main = Main();
  if (FocusedListId() == IDC_FILE_LIST && main.file_list) {
    SetFocus(main.file_list->window);
    PostMessageA(main.window, WM_COMMAND, IDM_FILE_RENAME, 0);
  } else if (TrackListControl()) {
    SetFocus(TrackListControl()->window);
    PostMessageA(main.window, WM_COMMAND, IDM_TRACK_RENAME, 0);
  }
}

void ToggleToolbar() {
  g_settings.view = g_settings.view ? 0 : 1;
  ApplyToolbarView(Main().frame);
}

void OpenPreferences() {
  PreferencesRequest request;
  request.parent = Main().frame;
  request.settings = &g_settings;
  request.proxy = &g_proxy;
  request.browsers = DetectedBrowsersAtStartup();
  RunPreferencesDialog(request);
}

}  // namespace

void StartRipOfCollectedTracks() {
  MainState& main = Main();
  if (main.ripping) return;
  if (g_settings.output_format == kFormatMp3 && (!g_settings.mp3_encoder || g_settings.mp3_encoder->empty())) {
    ShowMessageBox(main.frame ? main.frame->window : nullptr, MessageBoxIcon::kWarning,
                   LoadStringText(IDS_MP3_CODEC_ERROR), "%s", LoadStringText(IDS_NO_MP3_ENCODER));
    return;
  }
  if (main.copied_tracks == 0) return;
  // A worker that cannot start leaves the result alone: an old error must not
  // be shown again for this job.
  main.job.result = 0;
  ProgressDialogRequest request{};
  request.job = &main.job;
  request.tracks = &main.tracks;
  request.format = g_settings.output_format;
  request.rate = g_settings.output_rate;
  request.flac_level = g_settings.flac_level;
  request.opus_bitrate = g_settings.opus_bitrate;
  request.encoder_threads = g_settings.encoder_threads != 0 ? g_settings.encoder_threads : DefaultEncoderThreads();
  request.verify = g_settings.verify;
  const std::string program = std::string(kProductName) + " " + ProgramVersionText();
  request.program = program.c_str();
  char drive_name[256] = "";
  GetDriveName(g_settings.audiocd_drive_selected, drive_name, sizeof drive_name);
  request.drive_name = drive_name;
  request.accuraterip = main.accuraterip;
  request.write_tags = g_settings.tags != 0;
  request.year = main.lookup_year.c_str();
  request.genre = main.lookup_genre.c_str();
  request.disc_id = main.lookup_disc_id.c_str();
  request.album_title = main.album_title.c_str();
  request.artist = main.artist.c_str();
  request.mp3_encoder = g_settings.mp3_encoder ? g_settings.mp3_encoder->c_str() : nullptr;
  request.mp3_params = g_settings.mp3_params ? g_settings.mp3_params->c_str() : nullptr;
  request.encoder_watch_window = main.window;
  request.ripping = &main.ripping;
  request.refresh_file_list = RefreshFileList;
  OpenEncoderJob();
  int result = RunProgressDialog(main.frame, request);
  // An encoder of this job that failed after the worker's last look.
  if (CloseEncoderJob() && result == 0) result = kRipEncoderFailed;
  main.copied_tracks = 0;
  ShowRipResult(result);
  ShowRipVerdict(main.frame, main.job);
  UpdateCommandStates();
  OpenWaitingDiscImage();
}

void SaveSettingsOnClose() { SaveSettings(g_settings); }

void OnEncoderWatchTick() {
  const EncoderWatchTick tick = TickEncoderWatch(Main().window);
  if (tick.ended > 0) RefreshFileList();
  if (tick.failures_to_show > 0) ShowRipResult(kRipEncoderFailed);
}

int HandleMainCommand(int command, int notification, HWND control) {
  MainState& main = Main();
  if (HandleSourcePaneChange(command, notification)) return 1;
  if (HandleDestinationCommand(command, notification)) return 1;
  switch (command) {
    case IDM_RIP:
    case IDM_TRACK_RIP:
      if (IsCommandFromClick(notification, control)) Rip();
      return 1;
    case IDC_REFRESH_CD:
    case IDM_REFRESH_CD_LIST:
    case IDM_TRACK_REFRESH_CD:
      if (IsCommandFromClick(notification, control)) RefreshCd();
      return 1;
    case IDM_TRACK_SELECT_ALL:
      if (TrackListControl()) ListViewSelectAll(TrackListControl());
      return 1;
    case IDM_TRACK_COPY:
      EmptyFileClipboard();
      CollectTracks();
      return 1;
    case IDM_TRACK_RENAME:
      RenameCurrentTrack();
      return 1;
    case IDM_RENAME_FOCUSED:
      RenameInFocusedList();
      return 1;
    case IDM_COPY:
      if (FocusedListId() == IDC_FILE_LIST) PostMessageA(main.window, WM_COMMAND, IDM_FILE_COPY, 0);
      if (FocusedListId() == IDC_TRACK_LIST) PostMessageA(main.window, WM_COMMAND, IDM_TRACK_COPY, 0);
      return 1;
    case IDM_CUT:
      if (FocusedListId() == IDC_FILE_LIST) PostMessageA(main.window, WM_COMMAND, IDM_FILE_CUT, 0);
      return 1;
    case IDM_QUIT:
      ReadControlsIntoSettings();
      PostMessageA(main.window, WM_CLOSE, 0, 0);
      return 1;
    case IDM_OPEN_DISC_IMAGE:
      ChooseAndOpenDiscImage();
      return 1;
    case IDM_CLOSE_DISC_IMAGE:
      CloseSelectedDiscImage();
      return 1;
    case IDM_TOOLBAR:
      ToggleToolbar();
      return 1;
    case IDM_PREFERENCES:
      OpenPreferences();
      return 1;
    case IDM_UPGRADE:
      RunUpgradeCommand(main.window);
      return 1;
    case IDM_MANUAL:
      OpenManualCommand();
      return 1;
    case IDM_ABOUT:
      ShowAboutCommand(main.frame);
      return 1;
    case IDM_FAQ:
      OpenFaqCommand(main.window, g_settings.browser ? g_settings.browser->c_str() : nullptr,
                     g_settings.new_window != 0);
      return 1;
    case IDM_TIPS:
      ShowFirstTip(main.frame);
      return 1;
    default:
      break;
  }
  const char* language_code = nullptr;
  if (FindLanguageCommand(command, &language_code)) {
    SwitchLanguage(language_code);
    return 1;
  }
  return 0;
}
