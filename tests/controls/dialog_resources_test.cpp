#include "controls/dialog_resources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/image_lists.h"
#include "controls/dialog_frame.h"
#include "controls/frame_help_pane.h"
#include "controls/dialog_resources_test.h"
#include "controls/frame_services.h"
#include "support/temp_dir.h"

namespace {

class DialogResources : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr), 1); }
  void TearDown() override { ShutdownCommonLibrary(); }
};

TEST_F(DialogResources, WindowStyleTests) {
  HWND popup = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_THICKFRAME | WS_BORDER, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_THICKFRAME | WS_DLGFRAME, 0, 0, 10, 10, popup, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(IsResizableWindow(popup), 1);
  EXPECT_EQ(IsResizableWindow(child), 0);
  EXPECT_EQ(HasBorderStyle(popup), 1);
  EXPECT_EQ(HasBorderStyle(child), 0);
  EXPECT_EQ(HasCaptionStyle(child), 1);  // WS_DLGFRAME is one of the caption bits
  DestroyWindow(popup);
  EXPECT_EQ(IsResizableWindow(popup), 0);
  EXPECT_EQ(HasBorderStyle(popup), 0);
  EXPECT_EQ(HasCaptionStyle(nullptr), 0);
}

TEST_F(DialogResources, SystemErrorTextKnowsCommonCodesOnly) {
  const char* text = SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_NE(text, nullptr);
  EXPECT_GT(std::strlen(text), 0u);
  EXPECT_EQ(SystemErrorText(0x2FFFFFFF), nullptr);
}

TEST_F(DialogResources, HolderKeepsAndReusesItsFrame) {
  DialogFrame* frame = nullptr;
  DialogRequest request;
  request.holder = &frame;
  request.min_width = 300;
  request.min_height = 200;
  ASSERT_EQ(CreateDialogFromResource(request, IDD_TEST_PLAIN), 1);
  ASSERT_NE(frame, nullptr);
  DialogFrame* first = frame;
  EXPECT_EQ(frame->dialog_id, IDD_TEST_PLAIN);
  EXPECT_EQ(frame->auto_free, 0);
  EXPECT_EQ(frame->owner_proc, DefaultDialogProc);
  MINMAXINFO info = {};
  SendMessageA(frame->window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 300);
  EXPECT_EQ(info.ptMinTrackSize.y, 200);

  DestroyWindow(frame->window);
  EXPECT_EQ(frame->window, nullptr);

  // Created again without a minimum: the frame is the same and keeps it.
  request.min_width = 0;
  request.min_height = 0;
  ASSERT_EQ(CreateDialogFromResource(request, IDD_TEST_RESIZABLE), 1);
  EXPECT_EQ(frame, first);
  EXPECT_EQ(frame->dialog_id, IDD_TEST_RESIZABLE);
  EXPECT_EQ(frame->min_width, 300);
  EXPECT_EQ(frame->auto_free, 0);
  DestroyWindow(frame->window);
  FreeDialogFrame(frame);
}

TEST_F(DialogResources, DefaultProcedureClosesOnOkAndCancel) {
  DialogFrame* frame = nullptr;
  ASSERT_EQ(CreateDialogFromResource(&frame, nullptr, IDD_TEST_PLAIN, nullptr, false), 1);
  HWND window = frame->window;
  // Focus and other notifications of the buttons leave the dialog open.
  for (WORD code : {WORD(BN_SETFOCUS), WORD(BN_KILLFOCUS), WORD(BN_DOUBLECLICKED)}) {
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, code), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, code), 0);
    EXPECT_TRUE(IsWindow(window)) << "closed on notification " << code;
  }
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_FALSE(IsWindow(window));
  ASSERT_EQ(CreateDialogFromResource(&frame, nullptr, IDD_TEST_PLAIN, nullptr, false), 1);
  window = frame->window;
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_FALSE(IsWindow(window));
  FreeDialogFrame(frame);
}

int PostsCloseWith42(DialogFrame* frame, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) PostMessageA(frame->window, WM_APP, 0, 0);
  if (message == WM_APP) CloseDialogFrame(frame, 42);
  return 0;
}

TEST_F(DialogResources, ModalDialogReturnsItsEndValueAndFreesItsOwnFrame) {
  EXPECT_EQ(CreateDialogFromResource(nullptr, nullptr, IDD_TEST_PLAIN, PostsCloseWith42, true), 42);
  DialogFrame* frame = nullptr;
  EXPECT_EQ(CreateDialogFromResource(&frame, nullptr, IDD_TEST_PLAIN, PostsCloseWith42, true), 42);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->window, nullptr);
  EXPECT_EQ(frame->modal, 1);
  FreeDialogFrame(frame);
}

int g_fake_help_pane = 0;
void* OpenFakeHelpPane(DialogFrame*, const char*) { return &g_fake_help_pane; }

// A frame without a holder is freed whether its modal dialog ran or could
// not be made; the help pane reference it took from its parent shows it.
TEST_F(DialogResources, ModalFrameWithoutHolderIsFreedWhenTheDialogCannotBeMade) {
  const FrameServices saved = FrameServicesTable();
  FrameServicesTable().open_help_pane = OpenFakeHelpPane;
  DialogFrame* parent = NewDialogFrame();
  ASSERT_EQ(SetFrameHelp(parent, "help.htm", 7888, [](int id) { return id; }), 1);
  ASSERT_EQ(HelpPaneReferences(&g_fake_help_pane), 1);

  EXPECT_EQ(CreateDialogFromResource(nullptr, parent, 9999, nullptr, true), -1);
  EXPECT_EQ(HelpPaneReferences(&g_fake_help_pane), 1) << "the frame of the failed dialog leaked";
  EXPECT_EQ(CreateDialogFromResource(nullptr, parent, IDD_TEST_PLAIN, PostsCloseWith42, true), 42);
  EXPECT_EQ(HelpPaneReferences(&g_fake_help_pane), 1);

  FreeDialogFrame(parent);
  EXPECT_EQ(HelpPaneReferences(&g_fake_help_pane), 0);
  FrameServicesTable() = saved;
}

TEST_F(DialogResources, MissingTemplateFailsWithoutLeavingAFrame) {
  DialogFrame* frame = nullptr;
  EXPECT_EQ(CreateDialogFromResource(nullptr, nullptr, 9999, nullptr, false), 0);
  EXPECT_EQ(CreateDialogFromResource(nullptr, nullptr, 9999, nullptr, true), -1);
  EXPECT_EQ(CreateDialogFromResource(&frame, nullptr, 9999, nullptr, false), 0);
  EXPECT_NE(frame, nullptr);  // the holder's frame stays for the caller to free
  FreeDialogFrame(frame);
}

// The ATL hosting class stands in for the real one, so that the templates
// with a browser control can be created without a browser.
LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

void RegisterStandInBrowserClass() {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = PlainWindowProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "AtlAxWin";
  RegisterClassA(&window_class);
}

TEST_F(DialogResources, LibraryTemplatesHoldTheirControls) {
  RegisterStandInBrowserClass();
  const struct {
    int id;
    std::vector<int> controls;
  } templates[] = {
      {6000, {1000, 1001, 1002, 1003}},
      {6010, {1000, 1001, 1002, 1003}},
      {6001, {1000, 1001, 1002, 1003, 1004, 2}},
      {6011, {1000, 1001, 1002, 1003, 1004, 2}},
      {7300, {7014, 7101, 1, 2}},
  };
  for (const auto& entry : templates) {
    DialogFrame* frame = nullptr;
    const std::string reference = "VelmaronDialogs.dll?#" + std::to_string(entry.id);
    ASSERT_EQ(CreateDialogFromReference(&frame, nullptr, reference.c_str(), nullptr, false), 1) << entry.id;
    EXPECT_EQ(frame->dialog_id, entry.id);
    for (int control : entry.controls) {
      EXPECT_NE(GetDlgItem(frame->window, control), nullptr) << entry.id << " lacks " << control;
    }
    DestroyWindow(frame->window);
    FreeDialogFrame(frame);
  }
  // Each dialog loads the library for itself and lets it go again.
  EXPECT_EQ(GetModuleHandleA("VelmaronDialogs.dll"), nullptr);
}

TEST_F(DialogResources, ReferenceHandsUserDataToTheOwner) {
  static void* seen = nullptr;
  auto owner = [](DialogFrame*, UINT message, WPARAM, LPARAM lparam) -> int {
    if (message == WM_INITDIALOG) seen = reinterpret_cast<void*>(lparam);
    return 0;
  };
  int marker = 0;
  DialogFrame* frame = nullptr;
  DialogRequest request;
  request.holder = &frame;
  request.procedure = owner;
  request.user_data = &marker;
  ASSERT_EQ(CreateDialogFromReference(request, "VelmaronDialogs.dll?#6000"), 1);
  EXPECT_EQ(seen, &marker);
  EXPECT_EQ(frame->owner_param, &marker);
  DestroyWindow(frame->window);
  FreeDialogFrame(frame);
}

// The fatal reference errors end the process, so they run in a child: this
// executable again, told by the environment which reference to open and
// where to write what the message box would have shown.
constexpr char kChildReference[] = "CORVALE_TEST_DIALOG_REFERENCE";
constexpr char kChildReport[] = "CORVALE_TEST_DIALOG_REPORT";

std::string g_report_path;

int RecordMessageBox(HWND, const char* text, const char* caption, UINT) {
  std::ofstream(g_report_path, std::ios::app) << "box:" << text << "|" << caption << "\n";
  return IDOK;
}

TEST(DialogReferenceChild, OpensTheReferenceFromTheEnvironment) {
  const char* reference = std::getenv(kChildReference);
  const char* report = std::getenv(kChildReport);
  if (reference == nullptr || report == nullptr) GTEST_SKIP() << "runs only as a child";
  g_report_path = report;
  InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
  SetDialogMessageBoxFunc(RecordMessageBox);
  SetDialogFatalExitHook([] { std::ofstream(g_report_path, std::ios::app) << "hook\n"; });
  CreateDialogFromReference(nullptr, nullptr, reference, nullptr, false);
  std::ofstream(g_report_path, std::ios::app) << "returned\n";
}

struct ChildResult {
  DWORD exit_code = 0xFFFFFFFF;
  std::string report;
};

ChildResult RunChild(const std::string& reference) {
  testing_support::TempDir temp;
  const std::string report = temp.File("report.txt");
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof(program));
  std::string command = std::string("\"") + program + "\" --gtest_filter=DialogReferenceChild.*";
  SetEnvironmentVariableA(kChildReference, reference.c_str());
  SetEnvironmentVariableA(kChildReport, report.c_str());
  // The child's own test output would only clutter ours.
  SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
  HANDLE quiet = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = quiet;
  startup.hStdError = quiet;
  PROCESS_INFORMATION process = {};
  ChildResult result;
  const BOOL started =
      CreateProcessA(program, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  if (quiet != INVALID_HANDLE_VALUE) CloseHandle(quiet);
  SetEnvironmentVariableA(kChildReference, nullptr);
  SetEnvironmentVariableA(kChildReport, nullptr);
  if (!started) return result;
  WaitForSingleObject(process.hProcess, 60000);
  GetExitCodeProcess(process.hProcess, &result.exit_code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  std::ifstream file(report);
  std::stringstream content;
  content << file.rdbuf();
  result.report = content.str();
  return result;
}

TEST(DialogReferenceFailure, MissingLibraryTellsTheUserAndEndsTheProcess) {
  const ChildResult result = RunChild("NoSuchDialogs.dll?#7300");
  EXPECT_EQ(result.exit_code, kDialogReferenceExitCode);
  EXPECT_EQ(result.report, "box:Dialog DLL not found.|NoSuchDialogs.dll\nhook\n");
}

TEST(DialogReferenceFailure, MissingTemplateTellsTheUserAndEndsTheProcess) {
  const ChildResult result = RunChild("VelmaronDialogs.dll?#7399");
  EXPECT_EQ(result.exit_code, kDialogReferenceExitCode);
  EXPECT_EQ(result.report, "box:Resource not found in DLL.|#7399\nhook\n");
}

TEST(DialogReferenceFailure, PresentTemplateReturnsNormally) {
  const ChildResult result = RunChild("VelmaronDialogs.dll?#6000");
  EXPECT_EQ(result.exit_code, 0u);
  EXPECT_EQ(result.report, "returned\n");
}

}  // namespace
