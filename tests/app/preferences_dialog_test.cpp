// The Preferences dialog driven in this process: what it shows, what OK and
// Cancel keep, the proxy a later lookup uses, and the program chooser.
#include "app/preferences_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cd/cd_drives.h"
#include "support/cd_test_disc.h"
#include "cd/cddb_lookup.h"
#include "common/win_params.h"
#include "res/preferences_ids.h"
#include "support/cddb_test_server.h"
#include "support/job_window.h"
#include "common/strings.h"
#include "support/recorded_boxes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::CddbTestServer;
using testing_support::HttpAnswer;

// What to do with the dialog once it is on screen; runs from a thread timer
// inside the dialog's own message loop.
std::function<void(HWND dialog)> g_script;
bool g_script_ran = false;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(nullptr, "Preferences");
  if (!dialog || g_script_ran) return;
  g_script_ran = true;
  KillTimer(nullptr, timer);
  g_script(dialog);
}

std::string Field(HWND dialog, int id) {
  char text[1024] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void Click(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<std::string> BrowserChoices(HWND dialog) {
  std::vector<std::string> choices;
  const int count = int(SendDlgItemMessageA(dialog, IDC_PREFS_BROWSER, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = "";
    SendDlgItemMessageA(dialog, IDC_PREFS_BROWSER, CB_GETLBTEXT, IndexParam(i), reinterpret_cast<LPARAM>(text));
    choices.push_back(text);
  }
  return choices;
}

class PreferencesTest : public testing::Test {
 protected:
  void TearDown() override {
    SetPreferencesProgramChooser(nullptr);
    SetCddbProxyHost(1, nullptr);
    SetCddbProxyPort(2, 0);
  }

  INT_PTR Run(std::function<void(HWND dialog)> script) {
    g_script = std::move(script);
    g_script_ran = false;
    SetTimer(nullptr, 0, 20, DriveDialog);
    PreferencesRequest request;
    request.settings = &settings_;
    request.proxy = &proxy_;
    request.browsers = browsers_;
    request.hand_proxy = hand_proxy_;
    const INT_PTR result = RunPreferencesDialog(request);
    EXPECT_TRUE(g_script_ran);
    return result;
  }

  // Types into every field and presses `button`.
  INT_PTR TypeAllAndPress(int button) {
    return Run([button](HWND dialog) {
      SetDlgItemTextA(dialog, IDC_PREFS_BROWSER, "D:\\typed\\browser.exe");
      SetDlgItemTextA(dialog, IDC_PREFS_PROXY_HOST, "proxy.example");
      SetDlgItemTextA(dialog, IDC_PREFS_PROXY_PORT, "3128 spare");
      SetDlgItemTextA(dialog, IDC_PREFS_MP3_PROGRAM, "D:\\enc\\encoder.exe");
      SetDlgItemTextA(dialog, IDC_PREFS_MP3_PARAMS, "-b 192 %IN% %OUT%");
      Click(dialog, button);
    });
  }

  void SetProxy(const char* host, int32_t port) {
    proxy_.host.reset(host ? _strdup(host) : nullptr);
    proxy_.port = port;
  }

  AppSettings settings_;
  ProxyValues proxy_;
  DetectedBrowsers browsers_;
  void (*hand_proxy_)(const ProxyValues& proxy) = HandProxyToLookup;
};

TEST_F(PreferencesTest, OpensWithTheSettingsAndTheDetectedBrowsersSorted) {
  settings_.browser = std::string("C:\\Mine\\own.exe");
  browsers_.first = "C:\\Zeta\\first.exe";
  browsers_.second = "C:\\Alpha\\second.exe";
  settings_.mp3_encoder = std::string("C:\\enc\\lame.exe");
  settings_.mp3_params = std::string("-V2 \"%IN%\" \"%OUT%\"");
  SetProxy("cache.local", 8080);
  std::vector<std::string> choices;
  std::string shown[5];
  Run([&](HWND dialog) {
    choices = BrowserChoices(dialog);
    shown[0] = Field(dialog, IDC_PREFS_BROWSER);
    shown[1] = Field(dialog, IDC_PREFS_PROXY_HOST);
    shown[2] = Field(dialog, IDC_PREFS_PROXY_PORT);
    shown[3] = Field(dialog, IDC_PREFS_MP3_PROGRAM);
    shown[4] = Field(dialog, IDC_PREFS_MP3_PARAMS);
    Click(dialog, IDC_PREFS_CANCEL);
  });
  EXPECT_EQ(choices, (std::vector<std::string>{"C:\\Alpha\\second.exe", "C:\\Mine\\own.exe", "C:\\Zeta\\first.exe"}));
  EXPECT_EQ(shown[0], "C:\\Mine\\own.exe");
  EXPECT_EQ(shown[1], "cache.local");
  EXPECT_EQ(shown[2], "8080");
  EXPECT_EQ(shown[3], "C:\\enc\\lame.exe");
  EXPECT_EQ(shown[4], "-V2 \"%IN%\" \"%OUT%\"");

  // The setting names a detected browser, spelt in another case, and both
  // detected ones are the same program: each is listed once.
  settings_.browser = std::string("c:\\zeta\\FIRST.exe");
  browsers_.second = browsers_.first;
  Run([&](HWND dialog) {
    choices = BrowserChoices(dialog);
    shown[0] = Field(dialog, IDC_PREFS_BROWSER);
    Click(dialog, IDC_PREFS_CANCEL);
  });
  EXPECT_EQ(choices, (std::vector<std::string>{"c:\\zeta\\FIRST.exe"}));
  EXPECT_EQ(shown[0], "c:\\zeta\\FIRST.exe");

  // Nothing found and nothing set: an empty list, and no proxy shows port 0.
  settings_ = AppSettings();
  browsers_ = DetectedBrowsers();
  SetProxy(nullptr, 0);
  Run([&](HWND dialog) {
    choices = BrowserChoices(dialog);
    shown[1] = Field(dialog, IDC_PREFS_PROXY_HOST);
    shown[2] = Field(dialog, IDC_PREFS_PROXY_PORT);
    Click(dialog, IDC_PREFS_CANCEL);
  });
  EXPECT_TRUE(choices.empty());
  EXPECT_EQ(shown[1], "");
  EXPECT_EQ(shown[2], "0");
}

TEST_F(PreferencesTest, OkTakesEveryFieldAndTheNextOpeningShowsIt) {
  settings_.new_window = 0;
  ASSERT_EQ(TypeAllAndPress(IDC_PREFS_OK), 1);
  EXPECT_EQ(settings_.browser, std::string("D:\\typed\\browser.exe"));
  EXPECT_EQ(settings_.mp3_encoder, std::string("D:\\enc\\encoder.exe"));
  EXPECT_EQ(settings_.mp3_params, std::string("-b 192 %IN% %OUT%"));
  ASSERT_TRUE(proxy_.host);
  EXPECT_STREQ(proxy_.host.get(), "proxy.example");
  EXPECT_EQ(proxy_.port, 3128);
  EXPECT_EQ(settings_.new_window, 1);

  std::string shown[5];
  Run([&](HWND dialog) {
    shown[0] = Field(dialog, IDC_PREFS_BROWSER);
    shown[1] = Field(dialog, IDC_PREFS_PROXY_HOST);
    shown[2] = Field(dialog, IDC_PREFS_PROXY_PORT);
    shown[3] = Field(dialog, IDC_PREFS_MP3_PROGRAM);
    shown[4] = Field(dialog, IDC_PREFS_MP3_PARAMS);
    Click(dialog, IDOK);  // the Enter key's command
  });
  EXPECT_EQ(shown[0], "D:\\typed\\browser.exe");
  EXPECT_EQ(shown[1], "proxy.example");
  EXPECT_EQ(shown[2], "3128");
  EXPECT_EQ(shown[3], "D:\\enc\\encoder.exe");
  EXPECT_EQ(shown[4], "-b 192 %IN% %OUT%");
  EXPECT_EQ(settings_.mp3_params, std::string("-b 192 %IN% %OUT%"));
}

TEST_F(PreferencesTest, CancelAndEscapeChangeNothing) {
  settings_.browser = std::string("C:\\b.exe");
  settings_.mp3_encoder = std::string("C:\\enc\\lame.exe");
  settings_.new_window = 0;
  SetProxy("kept.proxy", 81);
  EXPECT_EQ(TypeAllAndPress(IDC_PREFS_CANCEL), 0);
  EXPECT_EQ(Run([](HWND dialog) {
              SetDlgItemTextA(dialog, IDC_PREFS_PROXY_HOST, "");
              SetDlgItemTextA(dialog, IDC_PREFS_MP3_PROGRAM, "D:\\other.exe");
              HWND edit = GetDlgItem(dialog, IDC_PREFS_MP3_PROGRAM);
              SetFocus(edit);
              PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
            }),
            0);
  EXPECT_EQ(settings_.browser, std::string("C:\\b.exe"));
  EXPECT_EQ(settings_.mp3_encoder, std::string("C:\\enc\\lame.exe"));
  EXPECT_FALSE(settings_.mp3_params);
  EXPECT_EQ(settings_.new_window, 0);
  ASSERT_TRUE(proxy_.host);
  EXPECT_STREQ(proxy_.host.get(), "kept.proxy");
  EXPECT_EQ(proxy_.port, 81);
}

TEST_F(PreferencesTest, EmptyParametersOfferTheDefaultTemplateOnlyWithAProgram) {
  settings_.mp3_encoder = std::string("C:\\enc\\lame.exe");
  settings_.mp3_params = std::string("");
  std::string shown;
  ASSERT_EQ(Run([&](HWND dialog) {
              shown = Field(dialog, IDC_PREFS_MP3_PARAMS);
              Click(dialog, IDC_PREFS_OK);
            }),
            1);
  EXPECT_EQ(shown, "\"%IN%\" \"%OUT%\"");
  EXPECT_EQ(settings_.mp3_params, std::string("\"%IN%\" \"%OUT%\""));

  settings_ = AppSettings();
  ASSERT_EQ(Run([&](HWND dialog) {
              shown = Field(dialog, IDC_PREFS_MP3_PARAMS);
              SetDlgItemTextA(dialog, IDC_PREFS_PROXY_PORT, "none");
              Click(dialog, IDC_PREFS_OK);
            }),
            1);
  EXPECT_EQ(shown, "");
  EXPECT_EQ(settings_.mp3_params, std::string(""));
  EXPECT_EQ(proxy_.port, 0) << "a port without digits is stored as 0";
}

// The chooser of the system changes the working folder to the chosen file's
// unless told not to; this one does the same.
struct ChooserCall {
  int calls = 0;
  std::string title;
  std::string start_folder;
  DWORD flags = 0;
  HWND owner = nullptr;
  std::optional<std::string> answer;
  std::string answer_folder;
};
ChooserCall g_chooser;

std::optional<std::string> FakeChooser(const OpenFileRequest& request) {
  ++g_chooser.calls;
  g_chooser.title = request.title ? request.title : "";
  g_chooser.start_folder = request.folder ? *request.folder : "";
  g_chooser.flags = request.flags;
  g_chooser.owner = request.owner;
  if (!g_chooser.answer) return std::nullopt;
  if (!(request.flags & OFN_NOCHANGEDIR)) SetCurrentDirectoryA(g_chooser.answer_folder.c_str());
  if (request.folder) *request.folder = g_chooser.answer_folder;
  return g_chooser.answer;
}

std::string CurrentFolder() {
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, folder);
  return folder;
}

TEST_F(PreferencesTest, ChosenProgramIsKeptEvenOnCancelAndTheWorkingFolderStays) {
  testing_support::TempDir output;
  testing_support::TempDir encoders;
  settings_.path = output.path();
  g_chooser = ChooserCall();
  g_chooser.answer = encoders.File("lame.exe");
  g_chooser.answer_folder = encoders.path();
  SetPreferencesProgramChooser(FakeChooser);
  const std::string working_folder = CurrentFolder();

  std::string shown_program;
  std::string shown_params;
  HWND dialog_window = nullptr;
  EXPECT_EQ(Run([&](HWND dialog) {
              dialog_window = dialog;
              Click(dialog, IDC_PREFS_CHOOSE_PROGRAM);
              shown_program = Field(dialog, IDC_PREFS_MP3_PROGRAM);
              shown_params = Field(dialog, IDC_PREFS_MP3_PARAMS);
              Click(dialog, IDC_PREFS_CANCEL);
            }),
            0);
  EXPECT_EQ(g_chooser.calls, 1);
  EXPECT_EQ(g_chooser.title, "Select the output directory.");
  EXPECT_EQ(g_chooser.start_folder, output.path());
  EXPECT_EQ(g_chooser.owner, dialog_window);
  EXPECT_EQ(shown_program, encoders.File("lame.exe"));
  EXPECT_EQ(shown_params, "\"%IN%\" \"%OUT%\"");
  EXPECT_EQ(settings_.mp3_encoder, encoders.File("lame.exe"));
  EXPECT_EQ(settings_.path, output.path()) << "the output folder is only where the chooser starts";
  EXPECT_EQ(CurrentFolder(), working_folder) << "config.ini and temp are found through the working folder";
  SetCurrentDirectoryA(working_folder.c_str());

  // A cancelled chooser changes nothing.
  g_chooser.answer.reset();
  settings_.mp3_encoder = std::string("C:\\before.exe");
  Run([&](HWND dialog) {
    Click(dialog, IDC_PREFS_CHOOSE_PROGRAM);
    shown_program = Field(dialog, IDC_PREFS_MP3_PROGRAM);
    Click(dialog, IDC_PREFS_CANCEL);
  });
  EXPECT_EQ(g_chooser.calls, 2);
  EXPECT_EQ(shown_program, "C:\\before.exe");
  EXPECT_EQ(settings_.mp3_encoder, std::string("C:\\before.exe"));
}

// What OK handed on, for the cases where a real lookup would leave this
// machine (no proxy means talking to the public server).
std::vector<std::string> g_handed_hosts;  // "(none)" for no host
std::vector<int32_t> g_handed_ports;
void RecordHandedProxy(const ProxyValues& proxy) {
  g_handed_hosts.push_back(proxy.host ? proxy.host.get() : "(none)");
  g_handed_ports.push_back(proxy.port);
}

TEST_F(PreferencesTest, OkHandsAnEmptiedHostOnSoThatTheOldProxyStops) {
  SetProxy("old.proxy", 3128);
  g_handed_hosts.clear();
  g_handed_ports.clear();
  hand_proxy_ = RecordHandedProxy;
  ASSERT_EQ(Run([](HWND dialog) {
              SetDlgItemTextA(dialog, IDC_PREFS_PROXY_HOST, "");
              SetDlgItemTextA(dialog, IDC_PREFS_PROXY_PORT, "70000");
              Click(dialog, IDC_PREFS_OK);
            }),
            1);
  EXPECT_EQ(g_handed_hosts, std::vector<std::string>{""});
  EXPECT_EQ(g_handed_ports, std::vector<int32_t>{70000}) << "the port is stored as typed";
  ASSERT_TRUE(proxy_.host);
  EXPECT_STREQ(proxy_.host.get(), "");
  EXPECT_EQ(proxy_.port, 70000);

  EXPECT_EQ(Run([](HWND dialog) { Click(dialog, IDC_PREFS_CANCEL); }), 0);
  EXPECT_EQ(g_handed_hosts.size(), 1u) << "Cancel hands nothing on";
}

// A whole address pasted into the host field keeps only the host there; a
// port in it is the port, otherwise the port field's.
// A level or bit rate out of range keeps the dialog open with a message and
// changes no setting; once both are usable, OK takes them.
TEST_F(PreferencesTest, FlacLevelAndOpusBitrateAreRangeChecked) {
  const struct {
    const char* level;
    const char* bitrate;
    bool taken;
  } cases[] = {
      {"9", "160", false}, {"5x", "160", false}, {"5", "511", false}, {" 0 ", "6", true}, {"8", "510", true},
  };
  const MessageBoxFunction previous = SetMessageBoxFunction(testing_support::RecordBox);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.level) + " / " + c.bitrate);
    settings_.flac_level = 3;
    settings_.opus_bitrate = 96;
    testing_support::RecordedBoxes().clear();
    bool refused = false;
    Run([&](HWND dialog) {
      EXPECT_EQ(Field(dialog, IDC_PREFS_FLAC_LEVEL), "3");
      EXPECT_EQ(Field(dialog, IDC_PREFS_OPUS_BITRATE), "96");
      SetDlgItemTextA(dialog, IDC_PREFS_FLAC_LEVEL, c.level);
      SetDlgItemTextA(dialog, IDC_PREFS_OPUS_BITRATE, c.bitrate);
      Click(dialog, IDC_PREFS_OK);
      // A refused value is told in a box, and the dialog stays for a correction.
      refused = !testing_support::RecordedBoxes().empty();
      if (refused) Click(dialog, IDC_PREFS_CANCEL);
    });
    EXPECT_EQ(refused, !c.taken);
    EXPECT_LE(testing_support::RecordedBoxes().size(), 1u);
    EXPECT_EQ(settings_.flac_level, c.taken ? int32_t(std::stoi(c.level)) : 3);
    EXPECT_EQ(settings_.opus_bitrate, c.taken ? int32_t(std::stoi(c.bitrate)) : 96);
  }
  SetMessageBoxFunction(previous);
}

// The read offset is signed, unlike the other ranged fields.
TEST_F(PreferencesTest, ReadOffsetTakesASignedNumberWithinTheDrivesRange) {
  const struct {
    const char* typed;
    bool taken;
    int32_t expected;
  } cases[] = {
      {"-667", true, -667}, {"+5880", true, 5880}, {" 48 ", true, 48}, {"5881", false, 12},
      {"-5881", false, 12}, {"-", false, 12},      {"6-", false, 12},  {"", false, 12},
  };
  const MessageBoxFunction previous = SetMessageBoxFunction(testing_support::RecordBox);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    settings_.verify.read_offset = 12;
    testing_support::RecordedBoxes().clear();
    bool refused = false;
    Run([&](HWND dialog) {
      EXPECT_EQ(Field(dialog, IDC_PREFS_READ_OFFSET), "12");
      SetDlgItemTextA(dialog, IDC_PREFS_READ_OFFSET, c.typed);
      Click(dialog, IDC_PREFS_OK);
      refused = !testing_support::RecordedBoxes().empty();
      if (refused) Click(dialog, IDC_PREFS_CANCEL);
    });
    EXPECT_EQ(refused, !c.taken);
    EXPECT_EQ(settings_.verify.read_offset, c.expected);
  }
  SetMessageBoxFunction(previous);
}

// The check box shows the setting; OK takes its state, Cancel does not.
TEST_F(PreferencesTest, WriteTagsBoxTakesItsStateOnOkOnly) {
  const struct {
    int32_t before;
    int button;
    int32_t after;
  } cases[] = {{0, IDC_PREFS_OK, 1}, {1, IDC_PREFS_OK, 0}, {0, IDC_PREFS_CANCEL, 0}, {1, IDC_PREFS_CANCEL, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.before) + " " + std::to_string(c.button));
    settings_.tags = c.before;
    Run([&](HWND dialog) {
      EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PREFS_WRITE_TAGS),
                c.before == 1 ? UINT(BST_CHECKED) : UINT(BST_UNCHECKED));
      CheckDlgButton(dialog, IDC_PREFS_WRITE_TAGS, c.before == 1 ? BST_UNCHECKED : BST_CHECKED);
      Click(dialog, c.button);
    });
    EXPECT_EQ(settings_.tags, c.after);
  }
}

TEST_F(PreferencesTest, OkSplitsAnAddressTypedIntoTheHostField) {
  const struct {
    const char* host_field;
    const char* port_field;
    const char* host;
    int32_t port;
  } cases[] = {
      {"proxy:3128", "0", "proxy", 3128},
      {" http://proxy:8080/ ", "3128", "proxy", 8080},
      {"user@proxy", "81", "proxy", 81},
      {"  proxy.lan\t", "82", "proxy.lan", 82},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Run([&c](HWND dialog) {
                SetDlgItemTextA(dialog, IDC_PREFS_PROXY_HOST, c.host_field);
                SetDlgItemTextA(dialog, IDC_PREFS_PROXY_PORT, c.port_field);
                Click(dialog, IDC_PREFS_OK);
              }),
              1);
    ASSERT_TRUE(proxy_.host);
    EXPECT_STREQ(proxy_.host.get(), c.host) << c.host_field;
    EXPECT_EQ(proxy_.port, c.port) << c.host_field;
  }
}

// A lookup started after OK goes through the proxy typed.
class PreferencesLookupTest : public PreferencesTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", "400"));
    ASSERT_EQ(SelectDrive(cd_tests::TwelveTrackDriveIndex()), 1);
  }
  void TearDown() override {
    SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", nullptr);
    PreferencesTest::TearDown();
  }
  bool LookupEnds() {
    testing_support::JobWindow window;
    if (StartCddbLookup(window.handle()) != 1) return false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000) {
      for (const testing_support::PostedMessage& posted : window.posted()) {
        if (posted.code == kCddbLookupEnded) {
          CddbLookup result{};
          return TakeCddbLookupResult(&result) == 1;
        }
      }
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(5);
    }
    return false;
  }
};

TEST_F(PreferencesLookupTest, TheProxyOfOkReachesTheNextLookup) {
  CddbTestServer server([](const std::string&) { return HttpAnswer("202 no match\r\n"); });
  ASSERT_TRUE(server.ok());
  const std::string port = std::to_string(server.port());
  ASSERT_EQ(Run([&](HWND dialog) {
              SetDlgItemTextA(dialog, IDC_PREFS_PROXY_HOST, "127.0.0.1");
              SetDlgItemTextA(dialog, IDC_PREFS_PROXY_PORT, port.c_str());
              Click(dialog, IDC_PREFS_OK);
            }),
            1);
  ASSERT_TRUE(LookupEnds());
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET http://", 0), 0u) << "sent as to a proxy: " << requests[0];
}

}  // namespace
