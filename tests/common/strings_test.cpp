#include "common/strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/language.h"
#include "res/string_ids.h"
#include "support/temp_dir.h"

namespace {

struct ShownBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

std::vector<ShownBox> g_shown;
int (*g_while_shown)() = nullptr;
int g_nested_result = -1;

int RecordBox(HWND owner, const char* text, const char* caption, UINT type) {
  g_shown.push_back({owner, text, caption, type});
  if (g_while_shown) g_nested_result = g_while_shown();
  return IDOK;
}

class StringsTest : public testing::Test {
 protected:
  void SetUp() override {
    g_shown.clear();
    g_while_shown = nullptr;
    g_nested_result = -1;
    previous_ = SetMessageBoxFunction(RecordBox);
  }
  void TearDown() override {
    SetMessageBoxFunction(previous_);
    LoadLanguage(nullptr);
  }

  // Loads a plain language text written to a temporary file.
  void LoadLanguageText(const std::string& text) {
    std::string path = dir_.File("test.lng");
    testing_support::WriteWholeFile(path, text);
    LoadLanguage(path.c_str());
  }

  testing_support::TempDir dir_;
  MessageBoxFunction previous_ = nullptr;
};

TEST_F(StringsTest, TextStaysValidForTenFurtherCallsOnly) {
  const UINT ids[] = {IDS_MEMORY, IDS_FREE_MEMORY, IDS_HOME,  IDS_SUPPORT, IDS_ABOUT, IDS_ERROR,
                      IDS_HELP,   IDS_COPY,        IDS_PASTE, IDS_CUT,     IDS_TRACK};
  std::vector<const char*> results;
  for (UINT id : ids) results.push_back(LoadStringText(id));
  std::set<const char*> first_ten(results.begin(), results.begin() + 10);
  EXPECT_EQ(first_ten.size(), 10u) << "ten different buffers";
  for (std::size_t i = 1; i < 10; ++i) {
    EXPECT_NE(std::string(results[i]), std::string(results[0]));
  }
  EXPECT_STREQ(results[1], "Free memory") << "still valid after nine further calls";
  EXPECT_EQ(results[10], results[0]) << "the eleventh call reuses the first buffer";
  EXPECT_STREQ(results[0], "Track");
}

TEST_F(StringsTest, TableTextsKeepQuotesBackslashesAndLineBreaks) {
  EXPECT_STREQ(LoadStringText(IDS_BROWSER_OPEN_FAILED),
               "\"Unable to open the specified Browser. Please check the Preferences from the "
               "Options menu.\"");
  EXPECT_STREQ(LoadStringText(IDS_RIP_ERROR_LAME_DLL), "Could not load library \"LAME_ENC.DLL\".");
  EXPECT_STREQ(LoadStringText(IDS_FALLBACK_DOCUMENTS), "C:\\My Documents\\");
  EXPECT_STREQ(LoadStringText(IDS_INVALID_FILENAME_CHARS),
               "A filename cannot contain any of the following characters:\r\n\\ / : * ? < > |");
  EXPECT_STREQ(LoadStringText(IDS_COLUMN_TRACK_ICON), " ");
  EXPECT_STREQ(LoadStringText(IDS_FILE_EXISTS_REPLACE),
               "File '%s' already exists.  Would you like to replace this file with '%s'?");
  EXPECT_STREQ(LoadStringText(1), "") << "an id without a string";
}

TEST_F(StringsTest, TextsFollowTheCurrentLanguage) {
  LoadLanguageText("lang=de\r\nE=Error\r\nT=Fehler\r\nE=Help\r\nT=*\r\n<154\r\nE=Track\r\nT=Titel\r\n");
  EXPECT_STREQ(LoadStringText(IDS_ERROR), "Fehler");
  EXPECT_STREQ(LoadStringText(IDS_HELP), "Help");
  EXPECT_STREQ(LoadStringText(IDS_TRACK), "Titel") << "a dialog's text also serves the table";
  EXPECT_STREQ(LoadStringText(1), "");
  LoadLanguage(nullptr);
  EXPECT_STREQ(LoadStringText(IDS_ERROR), "Error");
}

TEST_F(StringsTest, ErrorBoxFormatsItsTextUnderTheCaptionError) {
  EXPECT_EQ(ShowErrorBox(nullptr, "Could not open '%s' (%d)", "a.wav", 3), 1);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].text, "Could not open 'a.wav' (3)");
  EXPECT_EQ(g_shown[0].caption, "Error");
  EXPECT_EQ(g_shown[0].owner, nullptr);
  EXPECT_EQ(g_shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));

  LoadLanguageText("E=Error\rT=Fehler\r");
  EXPECT_EQ(ShowErrorBox(nullptr, "%s", "x"), 1);
  ASSERT_EQ(g_shown.size(), 2u);
  EXPECT_EQ(g_shown[1].caption, "Fehler");

  EXPECT_EQ(ShowErrorBox(nullptr, nullptr), 0);
  EXPECT_EQ(g_shown.size(), 2u);
}

int ShowSecondErrorBox() { return ShowErrorBox(nullptr, "second"); }

TEST_F(StringsTest, SecondErrorBoxIsNotOpenedWhileOneIsOnScreen) {
  g_while_shown = ShowSecondErrorBox;
  EXPECT_EQ(ShowErrorBox(nullptr, "first"), 1);
  EXPECT_EQ(g_nested_result, 0);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].text, "first");

  g_while_shown = nullptr;
  EXPECT_EQ(ShowErrorBox(nullptr, "third"), 1) << "the next box opens once the first is gone";
  EXPECT_EQ(g_shown.size(), 2u);
}

TEST_F(StringsTest, MessageBoxTakesCaptionAndOwner) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ShowMessageBox(window, "MP3 Codec Error", "%s", "No encoder"), 1);
  EXPECT_EQ(ShowMessageBox(nullptr, nullptr, "plain"), 1);
  EXPECT_EQ(ShowMessageBox(nullptr, "x", nullptr), 0);
  ASSERT_EQ(g_shown.size(), 2u);
  EXPECT_EQ(g_shown[0].owner, window);
  EXPECT_EQ(g_shown[0].caption, "MP3 Codec Error");
  EXPECT_EQ(g_shown[0].text, "No encoder");
  EXPECT_EQ(g_shown[1].owner, nullptr);
  EXPECT_EQ(g_shown[1].caption, "");
  for (const ShownBox& box : g_shown) EXPECT_EQ(box.type, UINT(MB_OK)) << "no icon unless one is asked for";
  DestroyWindow(window);
}

TEST_F(StringsTest, MessageBoxShowsTheIconAskedFor) {
  const struct {
    MessageBoxIcon icon;
    UINT style;
  } cases[] = {{MessageBoxIcon::kNone, 0},
               {MessageBoxIcon::kInformation, MB_ICONINFORMATION},
               {MessageBoxIcon::kWarning, MB_ICONWARNING},
               {MessageBoxIcon::kError, MB_ICONERROR}};
  for (const auto& one : cases) {
    g_shown.clear();
    EXPECT_EQ(ShowMessageBox(nullptr, one.icon, "Browser Error", "%s %d", "code", 7), 1);
    ASSERT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(g_shown[0].type, MB_OK | one.style);
    EXPECT_EQ(g_shown[0].caption, "Browser Error");
    EXPECT_EQ(g_shown[0].text, "code 7");
  }
  g_shown.clear();
  EXPECT_EQ(ShowMessageBox(nullptr, MessageBoxIcon::kWarning, nullptr, nullptr), 0);
  EXPECT_TRUE(g_shown.empty());
}

}  // namespace
