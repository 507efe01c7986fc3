// Answers a test script's questions about a running corvale.exe from outside
// the process, as a user's tools would see it: its windows, their controls and
// the list's selection, plus the demo disc's table of contents read through
// the same CD layer.  One command per run; answers go to standard output,
// failures to standard error with a non-zero exit code.
//
//   e2e_probe wait-main TIMEOUT_MS              main window visible: its title
//   e2e_probe item-count ID                     items of list view ID
//   e2e_probe rect ID                           left top right bottom of child ID
//   e2e_probe header-rect ID                    the same for list view ID's header
//   e2e_probe selection ID                      "COUNT ROW ROW ..." of list view ID
//   e2e_probe combo-selection ID                selected row of combo box ID (-1: none)
//   e2e_probe watch TITLE READY_FILE TIMEOUT_MS waits for a window TITLE of the
//                                               program to come and go
//   e2e_probe wait-rect TITLE ID TIMEOUT_MS     waits for a window TITLE of the program:
//                                               left top right bottom of its child ID
//   e2e_probe text TITLE ID                     the text of child ID of window TITLE
//   e2e_probe toc                               "NUMBER START LENGTH" per audio track
//   e2e_probe close                             posts WM_CLOSE to the main window
//   e2e_probe command ID                        posts WM_COMMAND ID to the main window
//   e2e_probe output-folder PATH                types PATH into the output folder
//                                               combo and asks the window to check it
//   e2e_probe answer-box TEXT TIMEOUT_MS        waits for a box or dialog of the
//                                               program, puts TEXT ("-": none) into
//                                               its edit and clicks its Yes or OK
//                                               button; prints the box's title (for
//                                               the Edit Tag dialog, a tab and the
//                                               title field's text as it was)
//   e2e_probe status-parts                      "CLIENT_WIDTH EDGE EDGE ..." of the
//                                               main window's status bar
//   e2e_probe press TITLE ID                    posts a click to button ID of window
//                                               TITLE
//   e2e_probe status-text PART                  the text of that part of the main
//                                               window's status bar
//   e2e_probe client-and-status TITLE           "LEFT TOP RIGHT BOTTOM STATUS_TOP": the
//                                               client area of window TITLE and the
//                                               top of its status bar, on screen
//   e2e_probe time-start EXE TRACKS TIMEOUT_MS  starts EXE; seconds until its first
//                                               window exists, until its main window
//                                               shows, and until its track list
//                                               holds TRACKS items; closes it
//   e2e_probe time-window EXE TIMEOUT_MS        starts EXE; seconds until its first
//                                               window exists; ends it (the start-up
//                                               benchmark's reference program)
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cd/cd_drives.h"
#include "res/create_dir_ids.h"
#include "res/edit_tag_ids.h"
#include "res/main_window_ids.h"

namespace {

constexpr char kMainTitlePrefix[] = "Corvale - ";
constexpr char kProgramImage[] = "corvale.exe";
constexpr char kVirtualDrivePrefix[] = "Virtual CD: ";
constexpr DWORD kPollMs = 5;
constexpr DWORD kFastPollMs = 1;

__attribute__((format(printf, 1, 2))) int Fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  return 1;
}

bool ImageIsProgram(DWORD process_id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (!process) return false;
  char path[MAX_PATH];
  DWORD size = sizeof path;
  const BOOL named = QueryFullProcessImageNameA(process, 0, path, &size);
  CloseHandle(process);
  if (!named) return false;
  const char* slash = std::strrchr(path, '\\');
  return _stricmp(slash ? slash + 1 : path, kProgramImage) == 0;
}

struct WindowSearch {
  const char* title;   // exact title, or null
  const char* prefix;  // title prefix, or null
  DWORD process_id;    // 0: any corvale.exe
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  if (search->title && std::strcmp(title, search->title) != 0) return TRUE;
  if (search->prefix && std::strncmp(title, search->prefix, std::strlen(search->prefix)) != 0) return TRUE;
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (process_id == GetCurrentProcessId()) return TRUE;
  if (search->process_id ? process_id != search->process_id : !ImageIsProgram(process_id)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindProgramWindow(const char* title, const char* prefix, DWORD process_id = 0) {
  WindowSearch search{title, prefix, process_id, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK MatchProcess(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (process_id != search->process_id) return TRUE;
  search->found = window;
  return FALSE;
}

bool ProcessHasWindow(DWORD process_id) {
  WindowSearch search{nullptr, nullptr, process_id, nullptr};
  EnumWindows(MatchProcess, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}

HWND FindMainWindow(DWORD process_id = 0) {
  HWND window = FindProgramWindow(nullptr, kMainTitlePrefix, process_id);
  return window && IsWindowVisible(window) ? window : nullptr;
}

HWND MainChild(int id) {
  HWND main = FindMainWindow();
  return main ? GetDlgItem(main, id) : nullptr;
}

int StatusParts() {
  HWND main = FindMainWindow();
  if (!main) return Fail("no main window");
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  if (!bar || !IsWindowVisible(bar)) return Fail("no visible status bar");
  RECT client = {};
  GetClientRect(main, &client);
  // Part edges cross the process boundary in memory of the bar's process.
  DWORD process_id = 0;
  GetWindowThreadProcessId(bar, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return Fail("cannot open the program's process");
  int edges[16] = {};
  void* remote = VirtualAllocEx(process, nullptr, sizeof edges, MEM_COMMIT, PAGE_READWRITE);
  const int count = remote ? int(SendMessageA(bar, SB_GETPARTS, 16, reinterpret_cast<LPARAM>(remote))) : 0;
  SIZE_T read = 0;
  const bool got = remote && ReadProcessMemory(process, remote, edges, sizeof edges, &read);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!got || count <= 0) return Fail("cannot read the status bar's parts");
  std::printf("%ld", long(client.right));
  for (int i = 0; i < count && i < 16; ++i) std::printf(" %d", edges[i]);
  std::printf("\n");
  return 0;
}

// The main window's toolbar: "visible" or "hidden", then the command of each
// button in order (0 for a separator).
int ToolbarButtons(int toolbar_id) {
  HWND main = FindMainWindow();
  if (!main) return Fail("no main window");
  HWND toolbar = GetDlgItem(main, toolbar_id);
  if (!toolbar) return Fail("no toolbar");
  DWORD process_id = 0;
  GetWindowThreadProcessId(toolbar, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return Fail("cannot open the program's process");
  void* remote = VirtualAllocEx(process, nullptr, sizeof(TBBUTTON), MEM_COMMIT, PAGE_READWRITE);
  std::printf("%s", (GetWindowLongA(toolbar, GWL_STYLE) & WS_VISIBLE) ? "visible" : "hidden");
  const int count = int(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; remote && i < count; ++i) {
    TBBUTTON button = {};
    SIZE_T read = 0;
    if (!SendMessageA(toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(remote)) ||
        !ReadProcessMemory(process, remote, &button, sizeof button, &read)) {
      break;
    }
    std::printf(" %d", button.idCommand);
  }
  std::printf("\n");
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

int PrintRect(HWND window) {
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return Fail("no such control");
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  return 0;
}

// The widths of a list's columns, in column order of creation.
int ColumnWidths(int id) {
  HWND list = MainChild(id);
  if (!list) return Fail("no list view");
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const LRESULT count = header ? SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
  if (count <= 0) return Fail("the list has no columns");
  for (LRESULT column = 0; column < count; ++column) {
    std::printf(column ? " %ld" : "%ld", long(SendMessageA(list, LVM_GETCOLUMNWIDTH, WPARAM(column), 0)));
  }
  std::printf("\n");
  return 0;
}

int SetColumnWidth(int id, int column, int width) {
  HWND list = MainChild(id);
  if (!list) return Fail("no list view");
  if (!SendMessageA(list, LVM_SETCOLUMNWIDTH, WPARAM(column), MAKELPARAM(width, 0))) {
    return Fail("the list refused the width");
  }
  return 0;
}

int WaitMain(DWORD timeout_ms) {
  const DWORD begin = GetTickCount();
  for (;;) {
    if (HWND main = FindMainWindow()) {
      char title[256] = "";
      GetWindowTextA(main, title, sizeof title);
      std::printf("%s\n", title);
      return 0;
    }
    if (GetTickCount() - begin > timeout_ms) return Fail("no visible main window of %s", kProgramImage);
    Sleep(kPollMs);
  }
}

int ItemCount(int id) {
  HWND list = MainChild(id);
  if (!list) return Fail("no list view");
  std::printf("%ld\n", long(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
  return 0;
}

int HeaderRect(int id) {
  HWND list = MainChild(id);
  if (!list) return Fail("no list view");
  return PrintRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)));
}

int Selection(int id) {
  HWND list = MainChild(id);
  if (!list) return Fail("no list view");
  std::printf("%ld", long(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)));
  const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    if (SendMessageA(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) & LVIS_SELECTED) {
      std::printf(" %ld", long(row));
    }
  }
  std::printf("\n");
  return 0;
}

// Polls fast: a short job shows its window for a few tens of milliseconds.
int Watch(const char* title, const char* ready_file, DWORD timeout_ms) {
  const DWORD begin = GetTickCount();
  bool seen = FindProgramWindow(title, nullptr) != nullptr;
  DWORD seen_at = 0;
  if (FILE* ready = std::fopen(ready_file, "w")) {
    std::fclose(ready);
  } else {
    return Fail("cannot write %s", ready_file);
  }
  for (;;) {
    const bool present = FindProgramWindow(title, nullptr) != nullptr;
    if (present && !seen) {
      seen = true;
      seen_at = GetTickCount() - begin;
    }
    if (seen && !present) {
      std::printf("seen %lu ms, gone %lu ms\n", seen_at, GetTickCount() - begin);
      return 0;
    }
    if (GetTickCount() - begin > timeout_ms) {
      return Fail(seen ? "window \"%s\" did not go" : "window \"%s\" never came", title);
    }
    Sleep(kFastPollMs);
  }
}

int WaitRect(const char* title, int id, DWORD timeout_ms) {
  const DWORD begin = GetTickCount();
  HWND window = nullptr;
  while (!(window = FindProgramWindow(title, nullptr))) {
    if (GetTickCount() - begin > timeout_ms) return Fail("window \"%s\" never came", title);
    Sleep(kPollMs);
  }
  return PrintRect(GetDlgItem(window, id));
}

// Posts a click to button ID of window TITLE: for a test that times what the
// program does after the click, without the click's way through X.
int PressButton(const char* title, int id) {
  HWND window = FindProgramWindow(title, nullptr);
  if (!window) return Fail("no window \"%s\"", title);
  HWND button = GetDlgItem(window, id);
  if (!button || !PostMessageA(button, BM_CLICK, 0, 0)) return Fail("\"%s\" has no button %d", title, id);
  return 0;
}

int PrintText(const char* title, int id) {
  HWND window = FindProgramWindow(title, nullptr);
  if (!window) return Fail("no window \"%s\"", title);
  char text[1024] = "";
  GetDlgItemTextA(window, id, text, sizeof text);
  std::printf("%s\n", text);
  return 0;
}

// The client area of a program window and its status bar, in screen
// coordinates: "left top right bottom status-top".
int ClientAndStatusBar(const char* title) {
  HWND window = FindProgramWindow(title, nullptr);
  RECT client;
  if (!window || !GetClientRect(window, &client)) return Fail("no window \"%s\"", title);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  HWND bar = FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr);
  RECT status;
  if (!bar || !IsWindowVisible(bar) || !GetWindowRect(bar, &status)) return Fail("\"%s\" has no status bar", title);
  std::printf("%ld %ld %ld %ld %ld\n", client.left, client.top, client.right, client.bottom, status.top);
  return 0;
}

int ComboSelection(int id) {
  HWND combo = MainChild(id);
  if (!combo) return Fail("no combo box");
  std::printf("%ld\n", long(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
  return 0;
}

int PrintToc() {
  const int drives = GetDriveCount();
  for (int drive = 0; drive < drives; ++drive) {
    char name[100];
    GetDriveName(drive, name, sizeof name);
    if (std::strncmp(name, kVirtualDrivePrefix, std::strlen(kVirtualDrivePrefix)) != 0) continue;
    if (!SelectDrive(drive)) return Fail("cannot open %s", name);
    TrackTable table{};
    if (!ReadTrackTable(&table)) return Fail("cannot read the table of contents of %s", name);
    for (int i = 0; i < table.count; ++i) {
      const TrackEntry& entry = table.entries[i];
      std::printf("%d %ld %ld\n", int(entry.number), long(entry.start), long(entry.length));
    }
    return 0;
  }
  return Fail("no virtual drive (is AKRIP_IMAGES set?)");
}

int CloseMain() {
  HWND main = FindMainWindow();
  if (!main) return Fail("no main window");
  if (!PostMessageA(main, WM_CLOSE, 0, 0)) return Fail("WM_CLOSE not posted");
  return 0;
}

// A program started for timing: the clock runs from just before its creation.
class TimedProcess {
 public:
  TimedProcess() { QueryPerformanceFrequency(&frequency_); }
  ~TimedProcess() {
    if (process_.hProcess) CloseHandle(process_.hProcess);
  }
  TimedProcess(const TimedProcess&) = delete;
  TimedProcess& operator=(const TimedProcess&) = delete;

  bool Start(const char* exe) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = std::string("\"") + exe + "\"";
    QueryPerformanceCounter(&begin_);
    if (!CreateProcessA(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
      return false;
    }
    CloseHandle(process_.hThread);
    return true;
  }
  double Seconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart - begin_.QuadPart) / double(frequency_.QuadPart);
  }
  bool Ended(DWORD wait_ms) const { return WaitForSingleObject(process_.hProcess, wait_ms) == WAIT_OBJECT_0; }
  HANDLE handle() const { return process_.hProcess; }
  DWORD id() const { return process_.dwProcessId; }

 private:
  LARGE_INTEGER frequency_ = {};
  LARGE_INTEGER begin_ = {};
  PROCESS_INFORMATION process_ = {};
};

int PostCommand(int id) {
  HWND main = FindMainWindow();
  if (!main) return Fail("no main window");
  if (!PostMessageA(main, WM_COMMAND, WPARAM(id), 0)) return Fail("WM_COMMAND not posted");
  return 0;
}

int SetOutputFolder(const char* path) {
  HWND main = FindMainWindow();
  HWND combo = main ? GetDlgItem(main, IDC_OUTPUT_FOLDER) : nullptr;
  if (!combo) return Fail("no output folder combo");
  SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
  constexpr WPARAM kCheckOutputFolder = 3;
  if (!PostMessageA(main, WM_USER, kCheckOutputFolder, 0)) return Fail("WM_USER not posted");
  return 0;
}

struct BoxSearch {
  DWORD process_id;
  HWND main;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || window == search->main || !IsWindowVisible(window)) return TRUE;
  if (!GetDlgItem(window, IDYES) && !GetDlgItem(window, IDOK) && !GetDlgItem(window, IDC_CREATE_DIRECTORY_OK)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// A box or dialog of the program's, waited for; null (said) when none came.
HWND WaitForBox(DWORD timeout_ms) {
  HWND main = FindMainWindow();
  if (!main) {
    Fail("no main window");
    return nullptr;
  }
  BoxSearch search = {0, main, nullptr};
  GetWindowThreadProcessId(main, &search.process_id);
  const DWORD start = GetTickCount();
  while (!search.found && GetTickCount() - start < timeout_ms) {
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(kPollMs);
  }
  if (!search.found) Fail("no box within the time-out");
  return search.found;
}

// The text of one part of the main window's status bar.
int StatusText(int part) {
  HWND main = FindMainWindow();
  if (!main) return Fail("no main window");
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  if (!bar) return Fail("no status bar");
  DWORD process_id = 0;
  GetWindowThreadProcessId(bar, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return Fail("cannot open the program's process");
  char text[512] = "";
  void* remote = VirtualAllocEx(process, nullptr, sizeof text, MEM_COMMIT, PAGE_READWRITE);
  const bool sent = remote && SendMessageA(bar, SB_GETTEXTLENGTHA, WPARAM(part), 0) < LRESULT(sizeof text) &&
                    (SendMessageA(bar, SB_GETTEXTA, WPARAM(part), reinterpret_cast<LPARAM>(remote)), true);
  SIZE_T read = 0;
  const bool got = sent && ReadProcessMemory(process, remote, text, sizeof text - 1, &read);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!got) return Fail("cannot read the status bar's text");
  std::printf("%s\n", text);
  return 0;
}

int AnswerBox(const char* text, DWORD timeout_ms) {
  HWND box = WaitForBox(timeout_ms);
  if (!box) return 1;
  char title[256] = "";
  GetWindowTextA(box, title, sizeof title);
  // The Edit Tag dialog's title field stands for the name field; its text as
  // filled in follows the caption after a tab.
  char shown[256] = "";
  if (std::strcmp(text, "-") != 0) {
    HWND edit = GetDlgItem(box, IDC_NEW_DIRECTORY_NAME);
    if (!edit && (edit = GetDlgItem(box, IDC_TAG_TITLE)) != nullptr) {
      // GetWindowText does not ask a control of another process for its text.
      std::strcpy(shown, "\t");
      SendMessageA(edit, WM_GETTEXT, sizeof shown - 1, reinterpret_cast<LPARAM>(shown + 1));
    }
    if (!edit) return Fail("the box \"%s\" has no name field", title);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  HWND button = GetDlgItem(box, IDYES);
  if (!button) button = GetDlgItem(box, IDC_CREATE_DIRECTORY_OK);
  if (!button) button = GetDlgItem(box, IDOK);
  PostMessageA(button, BM_CLICK, 0, 0);
  std::printf("%s%s\n", title, shown);
  return 0;
}

// Types the path into the open-file dialog's name box and presses OK; prints
// the dialog's title.
int ChooseFileInDialog(const char* path, DWORD timeout_ms) {
  constexpr int kNameCombo = 0x47C;  // the explorer-style dialog's name box
  constexpr int kNameEdit = 0x480;   // the older dialog's
  HWND dialog = WaitForBox(timeout_ms);
  if (!dialog) return Fail("no open-file dialog within the time-out");
  HWND name = GetDlgItem(dialog, kNameCombo);
  if (!name) name = GetDlgItem(dialog, kNameEdit);
  if (!name) return Fail("the dialog has no file name box");
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
  char title[256] = "";
  GetWindowTextA(dialog, title, sizeof title);
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  std::printf("%s\n", title);
  return 0;
}

// Prints a message box's title, whether the main window owns it, and its
// text (its lines joined by " | "): "title|main|text" or "title|other|text";
// then presses its OK button.
int ReadAndCloseBox(DWORD timeout_ms) {
  constexpr int kMessageText = 0xFFFF;
  HWND box = WaitForBox(timeout_ms);
  if (!box) return Fail("no box within the time-out");
  char title[256] = "", text[2048] = "";
  GetWindowTextA(box, title, sizeof title);
  GetDlgItemTextA(box, kMessageText, text, sizeof text);
  std::string joined;
  for (const char* c = text; *c; ++c) {
    if (*c == '\r') continue;
    joined += *c == '\n' ? std::string(" | ") : std::string(1, *c);
  }
  const bool owned_by_main = GetWindow(box, GW_OWNER) == FindMainWindow();
  PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  std::printf("%s|%s|%s\n", title, owned_by_main ? "main" : "other", joined.c_str());
  return 0;
}

// Every entry of a combo box of the main window, one a line, then the
// selected row's number.
int ComboTexts(int id) {
  HWND combo = MainChild(id);
  if (!combo) return Fail("no combo box");
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Wide: Wine carries a list text across processes as Unicode.
    wchar_t wide[256] = L"";
    char text[512] = "";
    if (SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(i), 0) < LRESULT(sizeof wide / sizeof wide[0])) {
      SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(wide));
    }
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    std::printf("%s\n", text);
  }
  std::printf("%ld\n", long(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
  return 0;
}

// Start-up time as a user sees it: from process creation until the main
// window lists the disc's tracks, with the moments the process had its first
// window (of any kind) and its main window became visible on the way.
int TimeStart(const char* exe, long tracks, DWORD timeout_ms) {
  TimedProcess process;
  if (!process.Start(exe)) return Fail("cannot start %s", exe);
  double first_window = -1;
  double main_shown = -1;
  int status = 1;
  for (;;) {
    if (first_window < 0 && ProcessHasWindow(process.id())) first_window = process.Seconds();
    HWND main = FindMainWindow(process.id());
    if (main && main_shown < 0) main_shown = process.Seconds();
    HWND list = main ? GetDlgItem(main, IDC_TRACK_LIST) : nullptr;
    if (list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= tracks) {
      const double tracks_shown = process.Seconds();
      std::printf("%.4f %.4f %.4f\n", first_window, main_shown, tracks_shown);
      PostMessageA(main, WM_CLOSE, 0, 0);
      status = 0;
      break;
    }
    if (process.Seconds() * 1000 > timeout_ms) {
      Fail("no track list within the time-out");
      break;
    }
    if (process.Ended(0)) {
      Fail("the program ended before showing its tracks");
      break;
    }
    Sleep(kFastPollMs);
  }
  if (!process.Ended(timeout_ms)) {
    TerminateProcess(process.handle(), 1);
    Fail("the program did not end after WM_CLOSE");
    status = 1;
  }
  return status;
}

// The same first-window time for another program, started the same way; the
// program is ended once timed, since nothing it does afterwards counts.
int TimeFirstWindow(const char* exe, DWORD timeout_ms) {
  TimedProcess process;
  if (!process.Start(exe)) return Fail("cannot start %s", exe);
  int status = 1;
  for (;;) {
    const double seconds = process.Seconds();
    if (ProcessHasWindow(process.id())) {
      std::printf("%.4f\n", seconds);
      status = 0;
      break;
    }
    if (seconds * 1000 > timeout_ms) {
      Fail("no window within the time-out");
      break;
    }
    if (process.Ended(0)) {
      Fail("the program ended before showing a window");
      break;
    }
    Sleep(kFastPollMs);
  }
  TerminateProcess(process.handle(), 0);
  process.Ended(timeout_ms);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  auto number = [&](int i) { return argc > i ? std::strtol(argv[i], nullptr, 10) : 0L; };
  if (command == "wait-main" && argc == 3) return WaitMain(DWORD(number(2)));
  if (command == "item-count" && argc == 3) return ItemCount(int(number(2)));
  if (command == "rect" && argc == 3) return PrintRect(MainChild(int(number(2))));
  if (command == "main-rect" && argc == 2) return PrintRect(FindMainWindow());
  if (command == "column-widths" && argc == 3) return ColumnWidths(int(number(2)));
  if (command == "set-column-width" && argc == 5) return SetColumnWidth(int(number(2)), int(number(3)), int(number(4)));
  if (command == "header-rect" && argc == 3) return HeaderRect(int(number(2)));
  if (command == "selection" && argc == 3) return Selection(int(number(2)));
  if (command == "combo-selection" && argc == 3) return ComboSelection(int(number(2)));
  if (command == "watch" && argc == 5) return Watch(argv[2], argv[3], DWORD(number(4)));
  if (command == "wait-rect" && argc == 5) return WaitRect(argv[2], int(number(3)), DWORD(number(4)));
  if (command == "text" && argc == 4) return PrintText(argv[2], int(number(3)));
  if (command == "press" && argc == 4) return PressButton(argv[2], int(number(3)));
  if (command == "client-and-status" && argc == 3) return ClientAndStatusBar(argv[2]);
  if (command == "toc" && argc == 2) return PrintToc();
  if (command == "close" && argc == 2) return CloseMain();
  if (command == "command" && argc == 3) return PostCommand(int(number(2)));
  if (command == "output-folder" && argc == 3) return SetOutputFolder(argv[2]);
  if (command == "answer-box" && argc == 4) return AnswerBox(argv[2], DWORD(number(3)));
  if (command == "open-file" && argc == 4) return ChooseFileInDialog(argv[2], DWORD(number(3)));
  if (command == "read-box" && argc == 3) return ReadAndCloseBox(DWORD(number(2)));
  if (command == "combo-texts" && argc == 3) return ComboTexts(int(number(2)));
  if (command == "status-parts" && argc == 2) return StatusParts();
  if (command == "status-text" && argc == 3) return StatusText(int(number(2)));
  if (command == "toolbar" && argc == 3) return ToolbarButtons(int(number(2)));
  if (command == "time-start" && argc == 5) return TimeStart(argv[2], number(3), DWORD(number(4)));
  if (command == "time-window" && argc == 4) return TimeFirstWindow(argv[2], DWORD(number(3)));
  return Fail(
      "usage: e2e_probe wait-main|item-count|rect|main-rect|column-widths|set-column-width|header-rect|selection|"
      "combo-selection|watch|wait-rect|text|press|toc|close|command|output-folder|answer-box|open-file|read-box|"
      "combo-texts|status-parts|toolbar|"
      "time-start|time-window|client-and-status ...");
}
