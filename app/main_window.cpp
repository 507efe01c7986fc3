#include "app/main_window.h"

#include <commctrl.h>
#include <dbt.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

#include "app/destination_pane.h"
#include "app/disc_image_commands.h"
#include "app/language_menu.h"
#include "app/main_toolbar.h"
#include "app/main_window_fit.h"
#include "app/main_window_state.h"
#include "app/product_name.h"
#include "app/settings.h"
#include "app/settings_check.h"
#include "app/track_list.h"
#include "app/window_title.h"
#include "cd/accuraterip_lookup.h"
#include "cd/cd_drives.h"
#include "cd/cddb_disc_info.h"
#include "common/image_lists.h"
#include "common/language.h"
#include "common/strings.h"
#include "common/win_params.h"
#include "controls/dialog_frame.h"
#include "controls/frame_window.h"
#include "controls/frame_item_texts.h"
#include "controls/frame_services.h"
#include "controls/list_view.h"
#include "controls/owner_menus.h"
#include "controls/rich_edit_viewer.h"
#include "controls/tab_order.h"
#include "files/file_choosers.h"
#include "files/file_list.h"
#include "files/file_utils.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "app/tips_viewer.h"
#include "rip/encoder_watch.h"
#include "rip/wma_error_dialog.h"

bool (*g_start_disc_lookup)(HWND notify) = nullptr;
bool (*g_take_disc_lookup)(DiscLookupResult* result) = nullptr;

namespace {

constexpr WPARAM kRedrawWindow = 1;
constexpr WPARAM kLookupEnded = 1000;

const char* const kFormatNames[] = {".wav", ".ogg Encoded by vorbis", ".wma Windows Media",
                                    ".mp3", ".flac Free Lossless",    ".opus"};
static_assert(sizeof kFormatNames / sizeof kFormatNames[0] == kOutputFormatCount, "a name for every format");
const char* const kRates[] = {"44100"};
// The rate box's place and size in the template's dialog units.
constexpr LONG kRateComboLeft = 244;
constexpr LONG kRateComboTop = 45;
constexpr LONG kRateComboWidth = 60;
constexpr LONG kRateComboHeight = 120;

MainState g_main;

HWND Item(int id) { return GetDlgItem(g_main.window, id); }

// Web pages go to the browser chosen in Preferences, else to the shell's.
bool OpenInChosenBrowser(HWND owner, const char* address) {
  const std::string browser = g_settings.browser.value_or("");
  if (!browser.empty()) return LaunchFile(owner, browser.c_str(), nullptr, address);
  return LaunchFile(owner, address, nullptr, nullptr);
}

void FillDriveCombo() {
  HWND combo = Item(IDC_DRIVE_COMBO);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < GetDriveCount(); ++i) {
    char name[100];
    GetDriveName(i, name, sizeof name);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendMessageA(combo, CB_SETCURSEL, IndexParam(g_settings.audiocd_drive_selected), 0);
}

void FillRateCombo(HWND rates) {
  SendMessageA(rates, CB_RESETCONTENT, 0, 0);
  for (const char* rate : kRates) SendMessageA(rates, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rate));
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, "%d", int(g_settings.output_rate));
  const LRESULT found = SendMessageA(rates, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(wanted));
  SendMessageA(rates, CB_SETCURSEL, found == CB_ERR ? 0 : IndexParam(int(found)), 0);
}

void FillFormatAndRateCombos() {
  HWND formats = Item(IDC_FORMAT_COMBO);
  SendMessageA(formats, CB_RESETCONTENT, 0, 0);
  for (const char* name : kFormatNames) SendMessageA(formats, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  SendMessageA(formats, CB_SETCURSEL, IndexParam(g_settings.output_format), 0);
  WidenDropDownToEntries(formats);

  if (HWND rates = Item(IDC_RATE_COMBO)) FillRateCombo(rates);
}

void FillOutputFolderCombo() {
  HWND combo = Item(IDC_OUTPUT_FOLDER);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const SettingText& folder : g_settings.recent_output_folders) {
    if (folder && !folder->empty()) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder->c_str()));
  }
}

// The button only shows the icon; the window owns it until it goes.
void ShowBrowseIcon() {
  IconHandle icon(
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_BROWSE), IMAGE_ICON, 16, 16, 0)));
  if (!icon) return;
  SendMessageA(Item(IDC_BROWSE_FOLDER), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.get()));
  g_main.browse_icon = std::move(icon);
}

void FreeBrowseIcon() {
  SendMessageA(Item(IDC_BROWSE_FOLDER), BM_SETIMAGE, IMAGE_ICON, 0);
  g_main.browse_icon.reset();
}

void CreateLists() {
  CreateTrackList(g_main.frame, [] { return TrackMenuState{g_main.ripping, g_main.lookup_pending}; });
  g_main.file_list = CreateDestinationPane(g_main.frame);
}

void SetUnknownAlbum() {
  g_main.artist = LoadStringText(IDS_UNKNOWN_ARTIST);
  g_main.album_title = LoadStringText(IDS_UNKNOWN_TITLE);
}

// Puts the album title and artist into their fields; the changes this makes
// are not the user's typing.
void ShowAlbumTexts() {
  g_main.showing_album = true;
  SetDlgItemTextA(g_main.window, IDC_ALBUM_TITLE, g_main.album_title.c_str());
  SetDlgItemTextA(g_main.window, IDC_ARTIST, g_main.artist.c_str());
  g_main.showing_album = false;
}

void PutSettingsIntoControls() {
  ShowAlbumTexts();
  SetDlgItemTextA(g_main.window, IDC_OUTPUT_FOLDER, g_settings.path ? g_settings.path->c_str() : "");
  SetDlgItemTextA(g_main.window, IDC_FILE_MASK, g_settings.list_mask ? g_settings.list_mask->c_str() : "");
}

void Initialise() {
  FitMainWindowLimits(g_main.frame);
  SetTimer(g_main.window, kFolderWatchTimer, kFolderWatchPeriodMs, nullptr);
  g_main.commands_enabled = true;
  SetWmaDownloadOpener(OpenInChosenBrowser);
  SetRichViewerBrowserSetting([] { return g_settings.browser.value_or(std::string()); });
  RemoveMissingLanguages(GetMenu(g_main.window));
  UpdateWindowTitle();
  GetDriveCount();
  g_main.cd_ready = false;
  g_main.ripping = false;
  SetUnknownAlbum();
  CheckSettings(g_settings, GetDriveCount());
  CreateLists();
  AcceptDiscImageDrops(Item(IDC_DRIVE_COMBO));
  SetTrackListFormat(g_settings.output_format);
  RefreshCd();
  FillDriveCombo();
  FillFormatAndRateCombos();
  FillOutputFolderCombo();
  PutSettingsIntoControls();
  UpdateCommandStates();
  PostMessageA(g_main.window, WM_USER, kRedrawWindow, 0);
  // A timer's message comes after the first paint.
  SetTimer(g_main.window, kRateComboTimer, USER_TIMER_MINIMUM, nullptr);
  SetFrameIcon(g_main.frame, IDI_PROGRAM);
  ShowBrowseIcon();
  ApplyToolbarView(g_main.frame);
  ConvertFrameMenu(g_main.frame, GetMenu(g_main.window), SmallImageList(), IDM_MAIN_MENU);
  UpdateCommandStates();
  ShowStartupTip(g_main.frame, g_settings);
}

void ForgetLookup() {
  g_main.lookup_titles.clear();
  g_main.lookup_year.clear();
  g_main.lookup_genre.clear();
  g_main.lookup_disc_id.clear();
}

// The lookup's texts become the window's, here on the interface thread.  What
// the user typed or renamed since the disc was read stays.
void ApplyLookupResult(const DiscLookupResult& result) {
  DiscTitleParts parts = SplitDiscTitle(result.disc_title.c_str());
  if (parts.album_title.empty()) parts.album_title = result.title;
  if (parts.artist.empty()) parts.artist = result.artist;
  if (!g_main.album_typed) g_main.album_title = parts.album_title;
  if (!g_main.artist_typed) g_main.artist = parts.artist;
  ShowAlbumTexts();
  g_main.lookup_titles = TitlesForAudioTracks(result.track_titles, g_main.tracks);
  g_main.lookup_year = result.year;
  g_main.lookup_genre = result.genre;
  g_main.lookup_disc_id = result.disc_id;
  const std::map<int, std::string> renamed = RenamedTrackTitles();
  FillTrackList(g_main.tracks, &g_main.lookup_titles, &renamed);
  UpdateWindowTitle();
}

// A disc image's sheet names the disc when no record does.
void ApplySheetTexts() {
  DiscLookupResult texts;
  if (DiscImageTextsAsLookup(g_settings.audiocd_drive_selected, g_main.tracks, &texts)) ApplyLookupResult(texts);
}

void TakeLookupResult() {
  if (!g_main.lookup_pending) return;
  g_main.lookup_pending = false;
  DiscLookupResult result;
  const bool have_result = g_take_disc_lookup && g_take_disc_lookup(&result);
  if (g_main.lookup_generation == g_main.disc_generation) {
    if (have_result && result.found) {
      ApplyLookupResult(result);
    } else {
      ApplySheetTexts();
    }
  }
  if (g_main.refresh_after_lookup) {
    g_main.refresh_after_lookup = false;
    RefreshCd();
  }
  UpdateCommandStates();
  OpenWaitingDiscImage();
}

void ChangeDrive() {
  HWND combo = Item(IDC_DRIVE_COMBO);
  if (g_main.lookup_pending) {
    // The lookup reads this drive's disc: the choice waits until it ends.
    SendMessageA(combo, CB_SETCURSEL, IndexParam(g_settings.audiocd_drive_selected), 0);
    return;
  }
  const LRESULT selection = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  g_settings.audiocd_drive_selected = selection == CB_ERR ? 0 : int(selection);
  SelectDrive(g_settings.audiocd_drive_selected);
  ++g_main.disc_generation;
  g_main.tracks.count = 0;
  ForgetLookup();
  RefillTrackList();
  UpdateCommandStates();
}

// The title or artist field changed: keep its text unless it differs only in case.
void TakeEditedText(int control, std::string* stored, bool* typed) {
  char* text = nullptr;
  ReadItemText(g_main.frame, control, &text);
  if (text && _stricmp(text, stored->c_str()) != 0) {
    *stored = text;
    if (!g_main.showing_album) *typed = true;
  }
  std::free(text);
}

bool FileEntrySelected() {
  return g_main.file_list && g_main.file_list->window &&
         SendMessageA(g_main.file_list->window, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
}

bool CurrentFileEntryIsPlain() {
  if (!g_main.file_list) return false;
  const auto* entry = static_cast<const DirEntry*>(g_main.file_list->current_item);
  return entry && entry->kind != kDirEntryDrive && entry->kind != kDirEntryParent &&
         entry->kind != kDirEntryDriveRootUp;
}

void EnableCommand(HMENU menu, UINT command, bool enabled) {
  if (menu) EnableMenuItem(menu, command, MenuEnableFlags(enabled));
}

}  // namespace

MainState& Main() { return g_main; }

HWND MainWindowHandle() { return g_main.window; }

void UpdateWindowTitle() {
  const std::string title = MainWindowTitle(kProductName, g_main.album_title.c_str(), g_main.artist.c_str());
  SetWindowTextA(g_main.window, title.c_str());
}

void RefillTrackList() {
  FillTrackList(g_main.tracks, &g_main.lookup_titles);
  UpdateWindowTitle();
}

void RefreshFileList() {
  if (g_main.file_list && g_settings.path) FileListShowFolder(g_main.file_list, g_settings.path->c_str());
}

HWND RateCombo() {
  if (HWND combo = Item(IDC_RATE_COMBO)) return combo;
  if (!g_main.window) return nullptr;
  // Where the template would have put it; the layout moves it with the rest.
  RECT place = {kRateComboLeft, kRateComboTop, kRateComboLeft + kRateComboWidth, kRateComboTop + kRateComboHeight};
  if (!MapDialogRect(g_main.window, &place)) return nullptr;
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, int(place.left),
                               int(place.top), int(place.right - place.left), int(place.bottom - place.top),
                               g_main.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_RATE_COMBO)),
                               GetModuleHandleA(nullptr), nullptr);
  if (!combo) return nullptr;
  SendMessageA(combo, WM_SETFONT, WPARAM(SendMessageA(g_main.window, WM_GETFONT, 0, 0)), FALSE);
  // Its place in the tab order and among its neighbours, as in the template.
  SetWindowPos(combo, Item(IDC_RATE_LABEL), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FillRateCombo(combo);
  return combo;
}

void RefreshCd() {
  if (g_main.lookup_pending || g_main.ripping) return;
  ++g_main.disc_generation;
  ForgetLookup();
  g_main.tracks.count = 0;
  SetUnknownAlbum();
  g_main.album_typed = false;
  g_main.artist_typed = false;
  ShowAlbumTexts();
  SelectDrive(g_settings.audiocd_drive_selected);
  g_main.accuraterip = nullptr;
  if (ReadTrackTable(&g_main.tracks)) {
    RefillTrackList();
    g_main.cd_ready = true;
    if (g_settings.verify.accuraterip) g_main.accuraterip = StartAccurateRipLookupOfCurrentDisc();
    if (g_start_disc_lookup && g_start_disc_lookup(g_main.window)) {
      g_main.lookup_pending = true;
      g_main.lookup_generation = g_main.disc_generation;
    } else {
      ApplySheetTexts();
    }
  } else {
    g_main.cd_ready = false;
    g_main.tracks.count = 0;
    RefillTrackList();
  }
  UpdateCommandStates();
}

void ShowDriveInWindow(int drive) {
  g_settings.audiocd_drive_selected = drive < 0 ? 0 : drive;
  FillDriveCombo();
  RefreshCd();
}

void UpdateCommandStates() {
  const bool tracks_focused = LastFocusedListId() == IDC_TRACK_LIST;
  const bool files_focused = LastFocusedListId() == IDC_FILE_LIST;
  const bool any_selected = (tracks_focused && SelectedTrackCount() > 0) || (files_focused && FileEntrySelected());
  const bool file_selected = files_focused && FileEntrySelected();
  const bool can_paste = files_focused && (g_main.copied_tracks != 0 || !FileClipboardEmpty());
  const bool plain_entry = CurrentFileEntryIsPlain();

  HMENU menu = GetMenu(g_main.window);
  EnableCommand(menu, IDM_OPEN, plain_entry && file_selected);
  EnableCommand(menu, IDM_DELETE, plain_entry && file_selected);
  EnableCommand(menu, IDM_CUT, plain_entry && any_selected);
  EnableCommand(menu, IDM_COPY, plain_entry && any_selected);
  EnableCommand(menu, IDM_PASTE, plain_entry && can_paste);
  EnableCommand(menu, IDM_REFRESH_CD_LIST, !g_main.lookup_pending);
  EnableCommand(menu, IDM_OPEN_DISC_IMAGE, !g_main.lookup_pending && !g_main.ripping);
  EnableCommand(menu, IDM_CLOSE_DISC_IMAGE, !g_main.lookup_pending && !g_main.ripping);
  EnableWindow(Item(IDC_REFRESH_CD), !g_main.lookup_pending);
  EnableWindow(Item(IDC_DRIVE_COMBO), !g_main.lookup_pending);
  EnableCommand(menu, IDM_RIP, g_main.cd_ready);
  EnableWindow(Item(IDC_RIP), g_main.cd_ready);
  UpdateMainToolbar(g_main.frame,
                    {plain_entry && any_selected, plain_entry && can_paste, !g_main.lookup_pending, g_main.cd_ready});
}

MainWindowView GetMainWindowView() {
  return {g_main.cd_ready,    g_main.lookup_pending, g_main.ripping, g_main.copied_tracks,
          g_main.album_title, g_main.artist,         &g_main.tracks, &g_main.job};
}

int MainWindowProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      g_main.frame = frame;
      g_main.window = frame->window;
      Initialise();
      return 1;
    case WM_SIZE:
      // The layout has just placed the controls: tabbing follows that place.
      OrderTabStopsByPlace(g_main.window);
      return 0;
    case WM_CLOSE:
      SaveSettingsOnClose();
      return 0;
    case WM_DESTROY:
      g_main.commands_enabled = false;
      KillTimer(g_main.window, kFolderWatchTimer);
      KillTimer(g_main.window, kEncoderWatchTimer);
      KillTimer(g_main.window, kRateComboTimer);
      FinishEncoderRunsAtExit(kEncoderExitWaitMs);
      DestroyDestinationPane();
      g_main.file_list = nullptr;
      FreeBrowseIcon();
      DestroyTrackList();
      PostQuitMessage(0);
      g_main.window = nullptr;
      return 0;
    case WM_COMMAND: {
      const int notification = HIWORD(wparam);
      if (!g_main.commands_enabled) return 0;
      return HandleMainCommand(LOWORD(wparam), notification, reinterpret_cast<HWND>(lparam));
    }
    case WM_TIMER:
      switch (wparam) {
        case kFolderWatchTimer:
          TickFolderWatch();
          return 1;
        case kEncoderWatchTimer:
          OnEncoderWatchTick();
          return 1;
        case kRateComboTimer:
          KillTimer(g_main.window, kRateComboTimer);
          RateCombo();
          return 1;
        default:
          return 0;
      }
    case WM_DEVICECHANGE:
      if (wparam == DBT_DEVICEARRIVAL || wparam == DBT_DEVICEREMOVECOMPLETE) {
        // A disc that changes under a running lookup is read once it ends.
        if (g_main.lookup_pending) {
          g_main.refresh_after_lookup = true;
          ++g_main.disc_generation;
        }
        RefreshCd();
      }
      return 0;
    case WM_USER:
      switch (wparam) {
        case kRedrawWindow:
          RedrawWindow(g_main.window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
          return 1;
        case kCheckOutputFolder:
          CheckOutputFolderCombo();
          return 1;
        case kLookupEnded:
          TakeLookupResult();
          return 1;
        case kOpenWaitingImage:
          OpenWaitingDiscImage();
          return 1;
        default:
          return 0;  // DM_GETDEFID and anything else is not ours
      }
    case WM_NOTIFY:
      UpdateCommandStates();
      return 0;
    case kMsgStartEncoderWatch:
      StartEncoderWatch(g_main.window);
      return 1;
    default:
      return 0;
  }
}

int HandleSourcePaneChange(int control, int notification) {
  switch (control) {
    case IDC_DRIVE_COMBO:
      if (notification == CBN_SELCHANGE) ChangeDrive();
      return 1;
    case IDC_ALBUM_TITLE:
      if (notification == EN_CHANGE) TakeEditedText(IDC_ALBUM_TITLE, &g_main.album_title, &g_main.album_typed);
      return 1;
    case IDC_ARTIST:
      if (notification == EN_CHANGE) TakeEditedText(IDC_ARTIST, &g_main.artist, &g_main.artist_typed);
      return 1;
    case IDC_FORMAT_COMBO:
      if (notification == CBN_SELCHANGE) {
        const LRESULT format = SendMessageA(Item(IDC_FORMAT_COMBO), CB_GETCURSEL, 0, 0);
        g_settings.output_format = format == CB_ERR ? kFormatWav : int(format);
        SetTrackListFormat(g_settings.output_format);
      }
      return 1;
    case IDC_RATE_COMBO:
      if (notification == CBN_SELCHANGE) {
        char text[16] = "";
        GetDlgItemTextA(g_main.window, IDC_RATE_COMBO, text, sizeof text);
        if (std::atoi(text) > 0) g_settings.output_rate = std::atoi(text);
      }
      return 1;
    default:
      return 0;
  }
}
