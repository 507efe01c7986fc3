#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings.h"
#include "common/atl_library.h"
#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "common/working_folder.h"
#include "controls/frame_services.h"
#include "dialogs/dialog_ids.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

// A working folder of its own, and a current directory elsewhere, as a file
// chooser can leave it.
class StartupTempFolder : public testing::Test {
 protected:
  void SetUp() override {
    SetWorkingFolder(work_.path().c_str());
    GetCurrentDirectoryA(MAX_PATH, previous_);
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere_.path().c_str()));
    ASSERT_TRUE(CreateDirectoryA(work_.File("temp").c_str(), nullptr));
    for (const char* name : {"corvale.wav", "corvale(1).WAV", "notes.txt", "corvale.wav.txt", "notes.wave"}) {
      WriteWholeFile(work_.File(std::string("temp\\") + name), name);
    }
    WriteWholeFile(work_.File("kept.wav"), "not in temp");
    ASSERT_TRUE(CreateDirectoryA(elsewhere_.File("temp").c_str(), nullptr));
    WriteWholeFile(elsewhere_.File("temp\\other.wav"), "not the working folder");
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_);
    SetWorkingFolder(nullptr);
  }
  bool InTemp(const char* name) { return FileExists(work_.File(std::string("temp\\") + name)); }

  TempDir work_;
  TempDir elsewhere_;
  char previous_[MAX_PATH] = {};
};

TEST_F(StartupTempFolder, LeftoverWavsInTempGoOtherFilesStay) {
  PrepareTempFolder(false);
  EXPECT_FALSE(InTemp("corvale.wav"));
  EXPECT_FALSE(InTemp("corvale(1).WAV"));
  EXPECT_TRUE(InTemp("notes.txt"));
  EXPECT_TRUE(InTemp("corvale.wav.txt"));
  // Its 8.3 short name ends in .WAV, its real name does not.
  EXPECT_TRUE(InTemp("notes.wave"));
  EXPECT_TRUE(FileExists(work_.File("kept.wav")));
  EXPECT_TRUE(FileExists(elsewhere_.File("temp\\other.wav")));
}

// The WAVs may be another running instance's, still being written.
TEST_F(StartupTempFolder, SecondInstanceLeavesTheWavsAlone) {
  PrepareTempFolder(true);
  EXPECT_TRUE(InTemp("corvale.wav"));
  EXPECT_TRUE(InTemp("corvale(1).WAV"));
}

TEST(Startup, OnlyTheFirstInstanceFindsTheMarkUnset) {
  const std::string name = "CorvaleTestMark" + std::to_string(GetCurrentProcessId());
  EXPECT_TRUE(MarkRunningInstance(name.c_str()));
  EXPECT_FALSE(MarkRunningInstance(name.c_str()));
}

std::vector<int> g_topics;
int g_fake_pane;

void* OpenFakePane(DialogFrame*, const char*) { return &g_fake_pane; }
void ShowTopic(void*, int topic) { g_topics.push_back(topic); }
void CloseFakePane(void*) {}

// The help page and topic map are the main window's before it exists, so its
// first focus already opens a topic.
TEST(Startup, MainWindowHasItsHelpTopicFromTheStart) {
  InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
  g_settings = AppSettings();
  FrameServices& services = FrameServicesTable();
  const FrameServices saved = services;
  services.open_help_pane = OpenFakePane;
  services.show_help_topic = ShowTopic;
  services.close_help_pane = CloseFakePane;
  g_topics.clear();

  DialogFrame* frame = NewDialogFrame();
  ASSERT_EQ(CreateMainWindow(&frame), 1);
  HWND window = MainWindowHandle();
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(g_topics.empty());
  EXPECT_EQ(g_topics.front(), 1);  // the main window's own topic

  DestroyWindow(window);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  FreeDialogFrame(frame);
  services = saved;
}

TEST(Startup, VersionTextComesFromTheVersionResource) {
  // The program's version is 1.0.0.1: major, middle as two digits, minor as three.
  EXPECT_STREQ(ProgramVersionText(), "1.00.000");
  EXPECT_STREQ(ProgramBuildText(), "0001");
}

// Whole runs of the program go in a child: this executable again, told by
// the environment what to do once the main window is shown and where to
// report.  Its working folder is a fresh one, for its config.ini.
constexpr char kChildMode[] = "CORVALE_TEST_STARTUP_MODE";
constexpr char kChildReport[] = "CORVALE_TEST_STARTUP_REPORT";
constexpr UINT kModeBeforeStart = SEM_NOOPENFILEERRORBOX;

std::string g_report_path;

void Report(const std::string& line) { std::ofstream(g_report_path, std::ios::app) << line << "\n"; }

int RecordMessageBox(HWND, const char* text, const char* caption, UINT) {
  Report(std::string("box:") + text + "|" + caption);
  return IDOK;
}

void OnMainWindowShown() {
  const UINT error_mode = SetErrorMode(0);
  SetErrorMode(error_mode);
  Report("error mode " + std::to_string(error_mode));
  const std::string mode = std::getenv(kChildMode);
  if (mode == "missing-dialogs") {
    SetDialogMessageBoxFunc(RecordMessageBox);
    CreateDialogFromReference(nullptr, nullptr, "NoSuchDialogs.dll?#7300", nullptr, false);
    Report("returned");
  } else if (mode == "control-host") {
    auto host_state = [] { return std::string(AtlAxGetControlFunction() ? "host loaded" : "no host"); };
    Report(host_state());
    DialogFrame* about = nullptr;
    const INT_PTR made = CreateDialogFromReference(&about, nullptr, "VelmaronDialogs.dll?#7300", nullptr, false);
    const bool browser = made == 1 && about->window && GetDlgItem(about->window, IDC_ABOUT_BROWSER);
    Report(std::string(browser ? "about box with its browser, " : "no about box, ") + host_state());
    if (about && about->window) DestroyWindow(about->window);
    FreeDialogFrame(about);
  }
  PostMessageA(MainWindowHandle(), WM_CLOSE, 0, 0);
}

TEST(StartupChild, RunsTheProgram) {
  const char* mode = std::getenv(kChildMode);
  const char* report = std::getenv(kChildReport);
  if (mode == nullptr || report == nullptr) GTEST_SKIP() << "runs only as a child";
  g_report_path = report;
  SetErrorMode(kModeBeforeStart);
  SetMainWindowShownHook(OnMainWindowShown);
  Report("exit " + std::to_string(RunCorvale(GetModuleHandleA(nullptr))));
}

struct ChildRun {
  DWORD exit_code = 0xFFFFFFFF;
  std::vector<std::string> report;
};

ChildRun RunProgramInChild(const char* mode, const std::string& folder) {
  const std::string report = folder + "\\report.txt";
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string command = std::string("\"") + program + "\" --gtest_filter=StartupChild.*";
  SetEnvironmentVariableA(kChildMode, mode);
  SetEnvironmentVariableA(kChildReport, report.c_str());
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE quiet = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = quiet;
  startup.hStdError = quiet;
  PROCESS_INFORMATION process = {};
  ChildRun run;
  const BOOL started =
      CreateProcessA(program, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup, &process);
  if (quiet != INVALID_HANDLE_VALUE) CloseHandle(quiet);
  SetEnvironmentVariableA(kChildMode, nullptr);
  SetEnvironmentVariableA(kChildReport, nullptr);
  if (!started) return run;
  WaitForSingleObject(process.hProcess, 120000);
  GetExitCodeProcess(process.hProcess, &run.exit_code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  std::ifstream in(report);
  for (std::string line; std::getline(in, line);) run.report.push_back(line);
  return run;
}

const std::string kQuietCriticalErrors = "error mode " + std::to_string(kModeBeforeStart | SEM_FAILCRITICALERRORS);

// The error mode the process started with is kept, and critical errors
// (a drive without a disk) fail without asking the user.
TEST(StartupRun, CriticalErrorsFailQuietlyFromTheStart) {
  TempDir folder;
  const ChildRun run = RunProgramInChild("close", folder.path());
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(run.report, (std::vector<std::string>{kQuietCriticalErrors, "exit 0"}));
}

// Nothing of the main window's needs the browser control host: it comes up
// with the first window that may hold a browser control.
TEST(StartupRun, TheControlHostWaitsForTheFirstWindowThatHostsABrowser) {
  TempDir folder;
  const ChildRun run = RunProgramInChild("control-host", folder.path());
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(run.report, (std::vector<std::string>{kQuietCriticalErrors, "no host",
                                                  "about box with its browser, host loaded", "exit 0"}));
}

// A missing dialog library ends the run with a failure code, and the
// settings are saved first.
TEST(StartupRun, MissingDialogLibraryEndsWithAFailureAndSavesTheSettings) {
  TempDir folder;
  const ChildRun run = RunProgramInChild("missing-dialogs", folder.path());
  EXPECT_EQ(run.exit_code, kDialogReferenceExitCode);
  EXPECT_EQ(run.report,
            (std::vector<std::string>{kQuietCriticalErrors, "box:Dialog DLL not found.|NoSuchDialogs.dll"}));
  const auto config = testing_support::ReadWholeFile(folder.File("config.ini"));
  EXPECT_EQ(std::string(config.begin(), config.end()).rfind("version=1.00.000\n", 0), 0u);
}

}  // namespace
