#include "common/language.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/link_macros.h"
#include "common/message_pump.h"
#include "common/packed_file.h"
#include "common/registry.h"
#include "common/strings.h"
#include "common/version_text.h"
#include "res/string_ids.h"
#include "support/temp_dir.h"

namespace {

// The packed languages the build puts into the product folder.
std::string BuiltLanguageFile(const char* code) { return std::string(CORVALE_LANG_DIR) + "\\lang_" + code + ".dat"; }

// Runs a test with the working directory in a folder of its own.
class LanguageTest : public testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(MAX_PATH, previous_directory_);
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.path().c_str()));
    CreateDirectoryA("lang", nullptr);
  }
  void TearDown() override {
    LoadLanguage(nullptr);
    SetCurrentDirectoryA(previous_directory_);
  }

  void InstallLanguageFile(const char* code, const std::vector<unsigned char>& bytes) {
    testing_support::WriteWholeFile(std::string("lang\\lang_") + code + ".dat", bytes.data(), bytes.size());
  }

  testing_support::TempDir dir_;
  char previous_directory_[MAX_PATH] = {};
};

TEST_F(LanguageTest, PackedLanguageFromTheLangFolderTranslatesTheTable) {
  InstallLanguageFile("de", testing_support::ReadWholeFile(BuiltLanguageFile("de")));
  ASSERT_STREQ(LanguageFilePath("de"), "lang\\lang_de.lng");
  EXPECT_EQ(LanguageFilePath("fr"), nullptr);

  EXPECT_STREQ(LoadLanguage("de"), "de");
  EXPECT_STREQ(GetLanguageCode(), "de");
  EXPECT_TRUE(HasTranslations());
  EXPECT_STREQ(LoadStringText(IDS_ERROR), "Fehler");
  EXPECT_STREQ(LoadStringText(IDS_INVALID_FILENAME_CHARS),
               "Ein Dateiname darf keines der folgenden Zeichen enthalten:\r\n\\ / : * ? < > |");
  EXPECT_STREQ(LoadStringText(IDS_COLUMN_SIZE),
               "Gr\xF6\xDF"
               "e")
      << "Windows-1252 text";
  EXPECT_NE(LanguageDialogFont(), nullptr);

  EXPECT_EQ(LoadLanguage(nullptr), nullptr);
  EXPECT_EQ(GetLanguageCode(), nullptr);
  EXPECT_FALSE(HasTranslations());
  EXPECT_STREQ(LoadStringText(IDS_ERROR), "Error");
  EXPECT_NE(LanguageDialogFont(), nullptr);
}

TEST_F(LanguageTest, BrokenLanguageFilesLeaveEnglishInForce) {
  const std::vector<unsigned char> good = testing_support::ReadWholeFile(BuiltLanguageFile("de"));
  ASSERT_GT(good.size(), 100u);
  InstallLanguageFile("de", good);

  std::vector<unsigned char> wrong_magic = good;
  wrong_magic[0] = 0x1B;
  std::vector<unsigned char> negative_length = good;
  for (std::size_t i = 4; i < 8; ++i) negative_length[i] = 0xFF;
  std::vector<unsigned char> truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
  std::vector<unsigned char> header_only(good.begin(), good.begin() + 8);

  for (const auto* broken : {&wrong_magic, &negative_length, &truncated, &header_only}) {
    ASSERT_STREQ(LoadLanguage("de"), "de");
    ASSERT_STREQ(LoadStringText(IDS_ERROR), "Fehler");
    InstallLanguageFile("xx", *broken);
    EXPECT_EQ(LoadLanguage("xx"), nullptr);
    EXPECT_EQ(GetLanguageCode(), nullptr);
    EXPECT_STREQ(LoadStringText(IDS_ERROR), "Error");
  }
  EXPECT_EQ(LoadLanguage("missing"), nullptr);
}

// Each load makes a new dialog font; the one it replaces must not leak.
TEST_F(LanguageTest, ReloadingDeletesTheReplacedDialogFont) {
  LoadLanguage(nullptr);
  HFONT first = LanguageDialogFont();
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_FONT));
  LoadLanguage(nullptr);
  HFONT second = LanguageDialogFont();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(GetObjectType(first), 0u) << "the replaced font was not deleted";
}

TEST_F(LanguageTest, PlainTextByPathAndFileWithoutLangLine) {
  testing_support::WriteWholeFile("mine.txt", "E=Error\r\nT=Erreur\r\nF_FACE=Tahoma\r\nF_HEIGHT=9\r\n");
  EXPECT_EQ(LoadLanguage("mine.txt"), nullptr) << "no lang= line: no code";
  EXPECT_STREQ(LoadStringText(IDS_ERROR), "Erreur") << "but the translations are in force";
  EXPECT_STREQ(LanguageFontFace(), "Tahoma");
  EXPECT_EQ(LanguageFontHeight(), 9);
  EXPECT_NE(LanguageDialogFont(), nullptr);
}

// What the program writes to the debugger output: OutputDebugStringA raises
// DBG_PRINTEXCEPTION_C, which a vectored handler sees before the system's
// own handler turns it into debugger output.
std::vector<std::string> g_debug_lines;

LONG CALLBACK RecordDebugOutput(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception->ExceptionRecord;
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
    g_debug_lines.emplace_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// A hostile language file gives a text the program formats with printf
// other directives than the English one; with it in force the program
// would read arguments that are not there.
TEST_F(LanguageTest, TranslationWithOtherDirectivesIsDroppedAndReported) {
  testing_support::WriteWholeFile("hostile.txt",
                                  "lang=xx\r\n"
                                  "E=The rip stopped with an unexpected error (code %d).\r\nT=Abbruch %s%s%s%s%n\r\n"
                                  "E=File '%s' already exists.  Would you like to replace this file with '%s'?\r\n"
                                  "T=Die Datei '%s' existiert.  Durch '%s' ersetzen?\r\n");
  g_debug_lines.clear();
  void* handler = AddVectoredExceptionHandler(1, RecordDebugOutput);
  ASSERT_NE(handler, nullptr);
  EXPECT_STREQ(LoadLanguage("hostile.txt"), "xx");
  RemoveVectoredExceptionHandler(handler);

  EXPECT_STREQ(LoadStringText(IDS_RIP_ERROR_UNKNOWN), "The rip stopped with an unexpected error (code %d).");
  EXPECT_STREQ(LoadStringText(IDS_FILE_EXISTS_REPLACE), "Die Datei '%s' existiert.  Durch '%s' ersetzen?");
  ASSERT_EQ(g_debug_lines.size(), 1u);
  EXPECT_NE(g_debug_lines[0].find("\"The rip stopped with an unexpected error (code %d).\""), std::string::npos)
      << g_debug_lines[0];
}

TEST_F(LanguageTest, LanguageFolderBelowTheModuleBaseName) {
  ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP"), 1);
  const char* base = LibraryModuleBaseName();
  ASSERT_NE(base, nullptr);
  std::string folder = std::string(base) + "\\lang";
  CreateDirectoryA(base, nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::vector<unsigned char> french = testing_support::ReadWholeFile(BuiltLanguageFile("fr"));
  testing_support::WriteWholeFile(folder + "\\lang_fr.dat", french.data(), french.size());
  EXPECT_EQ(std::string(LanguageFilePath("fr")), folder + "\\lang_fr.lng");
  EXPECT_STREQ(LoadLanguage("fr"), "fr");
  EXPECT_STREQ(LoadStringText(IDS_ERROR), "Erreur");
  ShutdownCommonLibrary();
  EXPECT_EQ(GetLanguageCode(), nullptr) << "the library's shutdown drops the language";
}

TEST(VersionTextTest, ProgramAndModuleWithoutVersion) {
  EXPECT_STREQ(VersionText(nullptr, "Major.Middle.Minor.Build"), "1.00.000.0001");
  testing_support::TempDir dir;
  std::string plain = dir.File("plain.txt");
  testing_support::WriteWholeFile(plain, "no version here");
  EXPECT_STREQ(VersionText(plain.c_str(), "Major.Middle.Minor (Build)"), "0.00.000 (0000)");
}

TEST(LinkMacrosRegistryTest, CookieComesFromTheProgramKey) {
  const char* kKey = "Software\\VELMARON\\CorvaleLinkMacrosTest";
  std::string previous_key = ProgramKey() ? ProgramKey() : "";
  ASSERT_EQ(CreateRegKey(HKEY_LOCAL_MACHINE, kKey), 1);
  SetProgramKey(kKey);

  TextBufOwner address;
  TextAssign(address.ptr(), "http://x/%LANG%/a.htm?id=%ID%");
  ASSERT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kKey, "cookie", "5123"), 1);
  ExpandLinkMacros(address.ptr());
  EXPECT_STREQ(address.c_str(), "http://x/a.htm?id=5123");

  TextAssign(address.ptr(), "http://x/a.htm?id=%ID%");
  ASSERT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kKey, "cookie", "1000"), 1);
  ExpandLinkMacros(address.ptr());
  EXPECT_STREQ(address.c_str(), "http://x/a.htm");

  TextAssign(address.ptr(), "http://x/a.htm?id=%ID%");
  ASSERT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kKey, "cookie", "123456789012345678901234"), 1);
  ExpandLinkMacros(address.ptr());
  EXPECT_STREQ(address.c_str(), "http://x/a.htm") << "a value too long to read counts as none";

  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
  SetProgramKey(previous_key.empty() ? nullptr : previous_key.c_str());
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER + 7) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

TEST(PumpMessagesTest, DispatchesQueuedMessagesAndKeepsQuit) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = CountingProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "CorvalePumpTest";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, "CorvalePumpTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  int count = 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
  PostMessageA(window, WM_USER + 7, 0, 0);
  PostMessageA(window, WM_USER + 7, 0, 0);
  EXPECT_TRUE(PumpMessages());
  EXPECT_EQ(count, 2);

  PostQuitMessage(3);
  EXPECT_FALSE(PumpMessages());
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT stays queued";
  EXPECT_EQ(message.wParam, 3u);
  DestroyWindow(window);
}

}  // namespace
