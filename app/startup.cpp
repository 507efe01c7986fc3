#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "app/disc_image_commands.h"
#include "app/disc_lookup.h"
#include "app/help_language.h"
#include "app/main_toolbar.h"
#include "app/main_window.h"
#include "app/main_window_layout.h"
#include "app/proxy_values.h"
#include "app/settings.h"
#include "app/settings_save.h"
#include "app/startup_tables.h"
#include "app/tips_viewer.h"
#include "common/common_library.h"
#include "common/folder_access.h"
#include "common/image_lists.h"
#include "common/registry.h"
#include "common/strings.h"
#include "common/upgrade.h"
#include "common/version_text.h"
#include "common/working_folder.h"
#include "controls/browser_discovery.h"
#include "controls/dialog_resources.h"
#include "controls/frame_bars.h"
#include "controls/frame_help_pane.h"
#include "controls/frame_message_loop.h"
#include "controls/layout_engine.h"
#include "controls/layout_services.h"
#include "controls/help_doc.h"
#include "controls/status_bar.h"
#include "files/file_utils.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "rip/output_names.h"

namespace {

constexpr char kInstanceMutex[] = "CorvaleApp";
constexpr char kProgramKey[] = "Software\\VELMARON\\Corvale";
constexpr char kLibraryProductName[] = "Corvale Rip";
constexpr char kLibraryProductCode[] = "RP";
// The folder below the user's application data that a run moves to when the
// folder it was started in takes no files; setup makes it for the Start menu
// shortcut under the same name (tools/installer.nsi).
constexpr char kUserWorkingFolderName[] = "Corvale";
// Until the window knows its font; it then works its own limits out from
// the template's dialog units.
constexpr int kMainMinWidth = 460;
constexpr int kMainMinHeight = 306;
constexpr int kMainStatusParts = 3;
constexpr int kStatusRightPart = 87;

// The texts of the program's version record, read when first wanted (saving
// config.ini, the About box): reading the record opens the program's file
// anew, which took a noticeable share of start-up when done before it.
struct ProgramVersion {
  std::string version = VersionText(nullptr, "Major.Middle.Minor");
  std::string build = VersionText(nullptr, "Build");
};

const ProgramVersion& Version() {
  static const ProgramVersion version;
  return version;
}

int MenuIcon(unsigned state_flags, int command_id, unsigned submenu) {
  return MenuIconIndex(state_flags, submenu, command_id);
}

// The status bar's parts: a sliver, the wide message part, and 87 pixels at
// the right end.
void LayOutMainStatusBar(DialogFrame* frame, int) {
  RECT client = {};
  if (!frame->window || !GetClientRect(frame->window, &client)) return;
  SetStatusParts(frame, {1, int(client.right) - kStatusRightPart, -1});
}

void ReportSettingsWriteFailure(const char*) {
  ShowErrorBox(MainWindowHandle(), "%s", LoadStringText(IDS_CONFIG_OPEN_FAILED));
}

void InitialisePlatform() {
  OleInitialize(nullptr);
  InitCommonControls();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
}

void ClearShellSettings() {
  g_settings.tips = 0;
  g_settings.last_tip = 0;
  g_settings.help = 0;
  g_settings.audiocd_drive_selected = 0;
  g_settings.output_format = 0;
  g_settings.output_rate = 0;
  for (SettingText& folder : g_settings.recent_output_folders) folder.reset();
  g_settings.help = 1;
}

void LoadIconLists() {
  int main_icons[33] = {};
  int second_icons[4] = {};
  for (int i = 0; i < 32; ++i) main_icons[i] = kMainIconIds[i];
  for (int i = 0; i < 3; ++i) second_icons[i] = kSecondIconIds[i];
  CreateImageLists(main_icons, second_icons, nullptr);
}

int MessageLoop(HACCEL accelerators) {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (TranslateLoopMessage(&msg, MainWindowHandle(), accelerators)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return int(msg.wParam);
}

void SaveSettingsBeforeFatalExit() { SaveSettings(g_settings); }

void (*g_main_window_shown_hook)() = nullptr;

}  // namespace

void SetMainWindowShownHook(void (*hook)()) { g_main_window_shown_hook = hook; }

void SetQuietCriticalErrors() {
  const UINT started_with = SetErrorMode(SEM_FAILCRITICALERRORS);
  SetErrorMode(started_with | SEM_FAILCRITICALERRORS);
}

void InstallSettingsSaving() {
  g_settings_save_hooks.version_text = ProgramVersionText;
  g_settings_save_hooks.report_write_failure = ReportSettingsWriteFailure;
  g_settings_save_hooks.save_proxy_values = SaveProxyValues;
  SetDialogFatalExitHook(SaveSettingsBeforeFatalExit);
}

const char* ProgramVersionText() { return Version().version.c_str(); }
const char* ProgramBuildText() { return Version().build.c_str(); }

bool CaptureWorkingFolder() {
  char folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  const std::string started_in = (length > 0 && length < MAX_PATH) ? folder : "";
  const bool takes_files = !started_in.empty() && FolderTakesNewFiles(started_in);
  std::string chosen = ChooseWorkingFolder(started_in, takes_files, UserAppDataFolder(), kUserWorkingFolderName);
  if (chosen != started_in) {
    const bool made = CreateDirectoryA(chosen.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    // Relative names (the language files, a program the user starts from
    // here) must find the same folder as config.ini does.
    if (!made || !SetCurrentDirectoryA(chosen.c_str())) chosen = started_in;
  }
  if (chosen.empty()) return false;
  SetWorkingFolder(chosen.c_str());
  return true;
}

bool MarkRunningInstance(const char* mutex_name) {
  // Never closed: the mark lasts as long as the process.
  const HANDLE mark = CreateMutexA(nullptr, FALSE, mutex_name);
  return mark != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

void PrepareTempFolder(bool another_instance_runs) {
  const std::string temp = TempFolderPath();
  CreateDirectoryA(temp.c_str(), nullptr);
  // The other instance may be extracting into one of them right now.
  if (another_instance_runs) return;
  DeleteMatching((temp + "\\*.wav").c_str());
}

int CreateMainWindow(DialogFrame** holder) {
  // Registered first, so that the window's first focus already gets its topic.
  SetFrameHelp(*holder, kMainHelpPage, IDM_HELP, HelpTopicForId);
  DialogRequest request;
  request.holder = holder;
  request.procedure = MainWindowProc;
  request.modal = false;
  request.min_width = kMainMinWidth;
  request.min_height = kMainMinHeight;
  return CreateDialogFromResource(request, IDD_MAIN_WINDOW);
}

int RunCorvale(HINSTANCE instance) {
  SetQuietCriticalErrors();
  CaptureWorkingFolder();
  InitialisePlatform();
  const bool first_instance = MarkRunningInstance(kInstanceMutex);
  ClearShellSettings();
  SetProgramKey(kProgramKey);
  InitCommonLibrary(instance, MenuIcon, kLibraryProductName, kLibraryProductCode);
  RestoreRegisteredUpgradeProgram();
  std::srand(unsigned(std::time(nullptr)));
  LoadIconLists();
  RememberDetectedBrowsers();
  CreateDirectoryA(WorkingFolderPath("Temp").c_str(), nullptr);

  DialogFrame* main_frame = NewDialogFrame();
  g_settings = AppSettings();
  LoadSettings(g_settings);
  InstallSettingsSaving();
  LoadProxyValues();
  InstallCddbDiscLookup();
  PrepareTempFolder(!first_instance);
  InstallHelpViewer();
  DeferTipsViewer();
  g_settings_save_hooks.take_tips_state = TakeTipsState;
  InstallFrameBars();
  AddStatusBar(main_frame, kMainStatusParts, LayOutMainStatusBar);
  AddMainToolbar(main_frame);
  InstallLayoutEngine();
  InstallLayoutPersistence();
  SetFrameLayout(main_frame, kMainWindowLayout, kMainWindowLayoutRows);

  int exit_code = 0;
  if (CreateMainWindow(&main_frame)) {
    ShowWindow(MainWindowHandle(), SW_SHOW);
    OpenCommandLineDiscImage(GetCommandLineA());
    if (g_main_window_shown_hook) g_main_window_shown_hook();
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN_ACCELERATORS));
    exit_code = MessageLoop(accelerators);
  } else {
    exit_code = 1;
  }

  // The viewers go before the library that hosts their browser controls.
  FreeDialogFrame(main_frame);
  ReleaseTipsViewer();
  ReleaseSharedHelpFrames();
  ReleaseStatusFont();
  g_settings.browser.reset();
  ShutdownCommonLibrary();
  return exit_code;
}
