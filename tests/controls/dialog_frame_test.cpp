#include "controls/dialog_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/language.h"
#include "common/translation_table.h"
#include "controls/dialog_resources.h"
#include "controls/frame_control_list.h"
#include "controls/frame_localisation.h"
#include "controls/frame_services.h"
#include "controls/frame_test_dialogs.h"
#include "controls/frame_test_fixture.h"
#include "support/temp_dir.h"

namespace {

using namespace frame_testing;

int RecordSize(DialogFrame*, SplitterRecord*, int size_type) {
  g_trace.size_types.push_back(size_type);
  return 1;
}

TEST_F(FrameTest, PropertyCarriesTheFrameWhileWindowsLive) {
  // The global atom table is shared by every process of the session: another
  // instance, or a process that ended with a frame window open, may hold the
  // name too. This process must drop its own reference and no one else's.
  const ATOM held_elsewhere = GlobalFindAtomA("velmaronprop");
  HWND first = Open();
  DialogFrame* second = nullptr;
  ASSERT_EQ(CreateDialogFromResource(&second, nullptr, IDD_FRAME_TEST, nullptr, false), 1);
  EXPECT_EQ(FrameFromWindow(first), frame_);
  EXPECT_EQ(FrameFromWindow(second->window), second);
  EXPECT_EQ(FramePropertyUseCount(), 2);
  DestroyWindow(second->window);
  FreeDialogFrame(second);
  EXPECT_EQ(FramePropertyUseCount(), 1);
  DestroyWindow(first);
  EXPECT_EQ(FramePropertyUseCount(), 0);
  EXPECT_EQ(GlobalFindAtomA("velmaronprop"), held_elsewhere);
  EXPECT_EQ(FrameFromWindow(first), nullptr);
}

struct Listener {
  int answer;
  int calls;
};
int ListenerHandler(void* object, UINT, WPARAM, LPARAM) {
  auto* listener = static_cast<Listener*>(object);
  ++listener->calls;
  return listener->answer;
}

TEST_F(FrameTest, NotificationsGoToEntriesOfTheirIdInListOrder) {
  Open();
  Listener declines{0, 0}, answers{7, 0}, never{9, 0}, other{3, 0}, zero_id{4, 0};
  AddFrameControl(frame_, &declines, 77, nullptr, kFrameListView, ListenerHandler, nullptr);
  AddFrameControl(frame_, &answers, 77, nullptr, kFrameListView, ListenerHandler, nullptr);
  AddFrameControl(frame_, &never, 77, nullptr, kFrameListView, ListenerHandler, nullptr);
  AddFrameControl(frame_, &other, 78, nullptr, kFrameListView, ListenerHandler, nullptr);
  AddFrameControl(frame_, &zero_id, 0, nullptr, kFrameListView, ListenerHandler, nullptr);

  NMHDR header = {nullptr, 77, 0};
  EXPECT_EQ(Send(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&header)), 7);
  EXPECT_EQ(declines.calls, 1);
  EXPECT_EQ(answers.calls, 1);
  EXPECT_EQ(never.calls, 0);
  EXPECT_EQ(other.calls, 0);
  EXPECT_FALSE(OwnerSaw(WM_NOTIFY));

  // The dialog manager's own WM_USER (DM_GETDEFID, wParam 0) reaches no entry.
  Send(WM_USER, 0, 0);
  EXPECT_EQ(zero_id.calls, 0);
  EXPECT_TRUE(OwnerSaw(WM_USER));
}

TEST_F(FrameTest, BlockedCommandsReachNobody) {
  Open();
  Listener hook{1, 0};
  AddFrameControl(frame_, &hook, IDC_FRAME_BUTTON, nullptr, kFrameCommandHook, ListenerHandler, nullptr);
  frame_->commands_blocked = 1;
  EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(IDC_FRAME_BUTTON, BN_CLICKED), 0), 0);
  EXPECT_EQ(hook.calls, 0);
  EXPECT_FALSE(OwnerSaw(WM_COMMAND));

  frame_->commands_blocked = 0;
  EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(IDC_FRAME_BUTTON, BN_CLICKED), 0), 1);
  EXPECT_EQ(hook.calls, 1);
  EXPECT_FALSE(OwnerSaw(WM_COMMAND));  // the hook took it
}

TEST_F(FrameTest, ContextHelpFollowsFocusMenusAndActivation) {
  Open();
  frame_->help_topic_of = TopicTimesTen;
  frame_->help_pane = &g_trace;  // any non-null pane
  SetLastFocusedListId(1044);
  Send(WM_COMMAND, MAKEWPARAM(12, BN_SETFOCUS), 0);
  Send(WM_COMMAND, MAKEWPARAM(13, EN_SETFOCUS), 0);
  Send(WM_COMMAND, MAKEWPARAM(14, CBN_SETFOCUS), 0);
  Send(WM_COMMAND, MAKEWPARAM(15, BN_CLICKED), 0);  // no focus change
  Send(WM_COMMAND, MAKEWPARAM(5, BN_SETFOCUS), 0);  // id without topic
  Send(WM_MENUSELECT, MAKEWPARAM(40, 0), 0);
  Send(WM_ACTIVATE, WA_ACTIVE, 0);
  Send(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(g_trace.topics_shown, (std::vector<int>{120, 130, 140, 400, IDD_FRAME_TEST * 10}));
  EXPECT_EQ(LastFocusedListId(), 0);

  g_trace.topics_shown.clear();
  frame_->help_muted = 1;
  Send(WM_COMMAND, MAKEWPARAM(12, BN_SETFOCUS), 0);
  frame_->help_muted = 0;
  SetGlobalHelpMute(true);
  Send(WM_COMMAND, MAKEWPARAM(12, BN_SETFOCUS), 0);
  EXPECT_TRUE(g_trace.topics_shown.empty());
  frame_->help_pane = nullptr;
}

TEST_F(FrameTest, HelpCommandOpensTheHelpWindowForTheDialog) {
  Open();
  frame_->help_command = 7888;
  EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(7888, 0), 0), 1);
  EXPECT_EQ(g_trace.help_windows, std::vector<int>{IDD_FRAME_TEST});
  EXPECT_FALSE(OwnerSaw(WM_COMMAND));
}

TEST_F(FrameTest, HelpCommandOpensAtTheControlThatTookTheFocusLast) {
  Open();
  frame_->help_command = 7888;
  frame_->help_topic_of = TopicTimesTen;
  int pane = 0;
  frame_->help_pane = &pane;
  Send(WM_COMMAND, MAKEWPARAM(IDC_FRAME_EDIT, EN_SETFOCUS), 0);
  // Passing over a menu item moves the help pane but is not a focus.
  Send(WM_MENUSELECT, MAKEWPARAM(40001, 0), 0);
  Send(WM_COMMAND, MAKEWPARAM(7888, 0), 0);
  Send(WM_ACTIVATE, WA_ACTIVE, 0);
  Send(WM_COMMAND, MAKEWPARAM(7888, 0), 0);
  EXPECT_EQ(g_trace.help_windows, (std::vector<int>{IDC_FRAME_EDIT, IDD_FRAME_TEST}));
  frame_->help_pane = nullptr;
}

TEST_F(FrameTest, CloseAnsweredMinusOneKeepsTheWindow) {
  HWND window = Open();
  g_trace.close_answer = -1;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  g_trace.close_answer = 0;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(frame_->window, nullptr);
}

int ClosesItselfWhenShown(DialogFrame* frame, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) PostMessageA(frame->window, WM_CLOSE, 0, 0);
  return 0;
}

TEST_F(FrameTest, CloseEndsAModalDialog) {
  EXPECT_EQ(CreateDialogFromResource(nullptr, nullptr, IDD_FRAME_TEST, ClosesItselfWhenShown, true), 0);
}

TEST_F(FrameTest, DestroyingAnOldWindowLeavesTheHoldersNewWindowAlone) {
  HWND old_window = Open();
  HWND new_window = Open();
  ASSERT_NE(old_window, new_window);
  DestroyWindow(old_window);
  EXPECT_TRUE(IsWindow(new_window));
  EXPECT_EQ(frame_->window, new_window);
  EXPECT_EQ(FrameFromWindow(new_window), frame_);
}

TEST_F(FrameTest, MinimumTrackingSizeOnlyWhenSet) {
  Open();
  MINMAXINFO info = {};
  info.ptMinTrackSize = {11, 12};
  Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 11);
  frame_->min_width = 460;
  frame_->min_height = 306;
  EXPECT_EQ(Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.ptMinTrackSize.x, 460);
  EXPECT_EQ(info.ptMinTrackSize.y, 306);
}

TEST_F(FrameTest, RestoreAfterMinimiseRunsTheLayoutOnce) {
  Open();
  PumpPending();
  frame_->size_hook = RecordSize;
  g_trace.size_types.clear();
  Send(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_EQ(frame_->show_state, kShowMaximised);
  Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(frame_->show_state, kShowMinimised);
  Send(WM_SIZE, SIZE_MINIMIZED, 0);
  Send(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(frame_->show_state, kShowNormal);
  PumpPending();
  EXPECT_EQ(g_trace.size_types, std::vector<int>{-1});
}

TEST_F(FrameTest, InitialisationRunsInitFunctionThenOwnerWithUserData) {
  static DialogFrame* seen_by_init = nullptr;
  int marker = 0;
  DialogRequest request;
  request.holder = &frame_;
  request.procedure = TracingOwner;
  request.user_data = &marker;
  request.init = [](DialogFrame* frame) {
    seen_by_init = frame;
    g_trace.init_func_ran_first = g_trace.owner_messages.empty();
  };
  frame_ = nullptr;
  g_trace.owner_messages.clear();
  ASSERT_EQ(CreateDialogFromResource(request, IDD_FRAME_TEST), 1);
  EXPECT_EQ(seen_by_init, frame_);
  EXPECT_TRUE(g_trace.init_func_ran_first);
  EXPECT_EQ(g_trace.init_param, &marker);
  // The first layout is posted for when the dialog shows.
  frame_->size_hook = RecordSize;
  PumpPending();
  EXPECT_EQ(g_trace.size_types, std::vector<int>{0});
}

std::vector<StoredWindowLayout> g_saved_layouts;
StoredWindowLayout g_stored_layout;

int LoadStored(const char* product, int dialog_id, StoredWindowLayout* layout) {
  if (std::string(product) != "Corvale Rip" || dialog_id != IDD_FRAME_RESIZABLE) return 0;
  *layout = g_stored_layout;
  return 1;
}
int SaveStored(const char*, int, const StoredWindowLayout* layout) {
  g_saved_layouts.push_back(*layout);
  return 1;
}

RECT PrimaryWorkArea() {
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

TEST_F(FrameTest, StoredLayoutIsPutWhollyOntoTheNearestWorkAreaAndSavedOnDestroy) {
  InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP");
  FrameServicesTable().load_window_layout = LoadStored;
  FrameServicesTable().save_window_layout = SaveStored;
  const RECT work = PrimaryWorkArea();
  const int work_width = work.right - work.left;
  const int work_height = work.bottom - work.top;
  struct Case {
    const char* what;
    StoredWindowLayout stored;
    RECT expected;
  };
  const Case cases[] = {
      {"on the screen",
       {work.left + 30, work.top + 40, 300, 200, {}},
       {work.left + 30, work.top + 40, work.left + 330, work.top + 240}},
      {"on a monitor to the right that is gone",
       {work.right + 4000, work.top + 40, 300, 200, {}},
       {work.right - 300, work.top + 40, work.right, work.top + 240}},
      {"half past the bottom right corner",
       {work.right - 150, work.bottom - 100, 300, 200, {}},
       {work.right - 300, work.bottom - 200, work.right, work.bottom}},
      {"larger than the work area",
       {work.left + 10, work.top + 10, work_width + 500, work_height + 500, {}},
       {work.left, work.top, work.right, work.bottom}},
      {"beyond any coordinate",
       {0x7FFFFFF0, 0x7FFFFFF0, 300, 200, {}},
       {work.right - 300, work.bottom - 200, work.right, work.bottom}},
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.what);
    g_saved_layouts.clear();
    g_stored_layout = one.stored;
    HWND window = Open(IDD_FRAME_RESIZABLE);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, one.expected.left);
    EXPECT_EQ(rect.top, one.expected.top);
    EXPECT_EQ(rect.right, one.expected.right);
    EXPECT_EQ(rect.bottom, one.expected.bottom);
    DestroyWindow(window);
    ASSERT_EQ(g_saved_layouts.size(), 1u);
    EXPECT_EQ(g_saved_layouts[0].left, one.expected.left);
    EXPECT_EQ(g_saved_layouts[0].width, one.expected.right - one.expected.left);
  }

  RECT rect;
  HWND window = nullptr;
  // A negative stored value restores nothing.
  g_stored_layout = {-4, 40, 300, 200, {}};
  window = Open(IDD_FRAME_RESIZABLE);
  GetWindowRect(window, &rect);
  EXPECT_NE(rect.left, -4);
  EXPECT_NE(rect.right - rect.left, 300);
}

std::string ItemText(HWND dialog, int id) {
  char buffer[256] = {};
  GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
  return buffer;
}

class FrameLocalisation : public FrameTest {
 protected:
  void LoadLanguageText(const std::string& text) {
    const std::string path = temp_.File("test.lng");
    testing_support::WriteWholeFile(path, text);
    LoadLanguage(path.c_str());
  }
  void TearDown() override {
    FrameTest::TearDown();
    ReleaseLanguage();
    ReleaseSourceTextTable();
  }
  testing_support::TempDir temp_;
};

TEST_F(FrameLocalisation, ControlTextsShowTheTranslationWithOneBlankOfPadding) {
  LoadLanguageText("lang=fr\r<9703\rE=&Open\rT=&Ouvrir\r<0\rE=Close\rT=Fermer\r<9999\rE=Rip only\rT=Extraire\r");
  ASSERT_TRUE(HasTranslations());
  HWND dialog = Open(IDD_FRAME_TEXTS);
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_LEADING), " &Ouvrir");
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_TRAILING), "&Ouvrir ");
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_OTHER_DIALOG), "Extraire");
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_UNKNOWN), " Not translated ");
  char caption[64];
  GetWindowTextA(dialog, caption, sizeof(caption));
  EXPECT_STREQ(caption, "Fermer");
  EXPECT_STREQ(SourceTextTable().Find("&Ouvrir:9703"), "&Open");
  EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDC_TEXT_LEADING), GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
}

// What the user typed is data, even when it reads like a text of the program.
TEST_F(FrameLocalisation, EditFieldsAndComboBoxesKeepTheUsersText) {
  LoadLanguageText("lang=fr\rE=Close\rT=Fermer\r");
  HWND dialog = Open(IDD_FRAME_TEXTS);
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_USER_EDIT), "Close");
  SetDlgItemTextA(dialog, IDC_TEXT_USER_COMBO, "Close");
  // A change of language localises the open dialog again.
  LocaliseDialogWindows(dialog, IDD_FRAME_TEXTS);
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_USER_EDIT), "Close");
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_USER_COMBO), "Close");
  char caption[64];
  GetWindowTextA(dialog, caption, sizeof(caption));
  EXPECT_STREQ(caption, "Fermer") << "the dialog's own texts are still translated";
}

TEST_F(FrameLocalisation, RightToLeftLanguageTurnsReadingOrder) {
  LoadLanguageText("lang=jo\rE=Close\rT=Close-jo\r");
  HWND dialog = Open(IDD_FRAME_TEXTS);
  EXPECT_NE(GetWindowLongA(GetDlgItem(dialog, IDC_TEXT_LEADING), GWL_EXSTYLE) & WS_EX_RTLREADING, 0);
}

TEST_F(FrameLocalisation, WithoutLanguageOrHookTextsStayAsDesigned) {
  HWND dialog = Open(IDD_FRAME_TEXTS);
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_LEADING), "  &Open");
  EXPECT_TRUE(SourceTextTable().empty());
}

TEST_F(FrameLocalisation, TranslationHookReplacesWithoutRecording) {
  SetTranslationHook([](const char* text) -> const char* { return std::string(text) == "&Open" ? "HOOKED" : nullptr; });
  HWND dialog = Open(IDD_FRAME_TEXTS);
  SetTranslationHook(nullptr);
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_LEADING), " HOOKED");
  EXPECT_EQ(ItemText(dialog, IDC_TEXT_TRAILING), "HOOKED ");
  EXPECT_EQ(SourceTextTable().Find("HOOKED:9703"), nullptr);
}

}  // namespace
