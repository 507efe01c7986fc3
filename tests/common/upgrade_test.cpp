#include "common/upgrade.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <softpub.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/common_library.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadWholeFile;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

constexpr char kTestUpgradeKey[] = "Software\\CorvaleTests\\Upgrade";

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  if (char* slash = std::strrchr(path, '\\')) *slash = '\0';
  return path;
}

void PutMachineText(const std::string& key_name, const char* value_name, const std::string& text) {
  HKEY key;
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  ASSERT_EQ(
      RegSetValueExA(key, value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1)),
      ERROR_SUCCESS);
  RegCloseKey(key);
}

std::vector<std::string> Lines(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  std::vector<std::string> lines;
  std::string line;
  for (unsigned char c : bytes) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += char(c);
    }
  }
  return lines;
}

LONG BadSignature(const char*) { return TRUST_E_BAD_DIGEST; }
LONG NoSignature(const char*) { return TRUST_E_NOSIGNATURE; }

struct ShellCall {
  int count = 0;
  std::string file;
  std::string folder;
  INT_PTR answer = 42;
};
ShellCall g_shell;

INT_PTR RecordShellOpen(const char* file, const char* folder) {
  ++g_shell.count;
  g_shell.file = file ? file : "";
  g_shell.folder = folder ? folder : "";
  return g_shell.answer;
}

class UpgradeTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP"), 1);
    fake_ = ReadWholeFile(ProgramFolder() + "\\fake_upgrade.exe");
    ASSERT_FALSE(fake_.empty());
    program_ = dir_.File("Upgrade.exe");
    WriteWholeFile(program_, fake_.data(), fake_.size());
    g_shell = ShellCall();
    SetManualShellOpen(RecordShellOpen);
  }
  void TearDown() override {
    SetManualShellOpen(nullptr);
    SetUpgradeTrustQuery(nullptr);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\CorvaleTests\\Upgrade");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VELMARON\\Renewix v2.0");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VELMARON\\Renewix");
    ShutdownCommonLibrary();
  }

  // The downloaded copy: the same program made longer, so its log line
  // tells it apart.
  std::size_t PutNewCopy(const std::string& path) {
    std::vector<unsigned char> copy = fake_;
    copy.insert(copy.end(), 512, 0xA5);
    WriteWholeFile(path, copy.data(), copy.size());
    return copy.size();
  }

  // Waits for the fake's log line (it runs on its own).
  std::string LoggedLine() {
    const std::string log = dir_.File("upgrade.log");
    for (int i = 0; i < 200 && Lines(log).empty(); ++i) Sleep(50);
    const auto lines = Lines(log);
    return lines.empty() ? std::string() : lines.back();
  }

  std::string Logged(const std::string& command, std::size_t size) { return command + "|" + std::to_string(size); }

  TempDir dir_;
  std::vector<unsigned char> fake_;
  std::string program_;
};

TEST_F(UpgradeTest, StartsTheRegisteredProgramWithProductCodeAndName) {
  PutMachineText(kTestUpgradeKey, "path", program_);
  EXPECT_EQ(LaunchUpgrade(nullptr, "Corvale Rip", kTestUpgradeKey, kUpgradePlain), 1);
  EXPECT_EQ(LoggedLine(), Logged("Upgrade.exe RP \"Corvale Rip\"", fake_.size()));

  PutMachineText(kTestUpgradeKey, "path", dir_.File("Missing.exe"));
  EXPECT_EQ(LaunchUpgrade(nullptr, "Corvale Rip", kTestUpgradeKey, kUpgradePlain), 0);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestUpgradeKey);
  EXPECT_EQ(LaunchUpgrade(nullptr, "Corvale Rip", kTestUpgradeKey, kUpgradePlain), 0);
}

TEST_F(UpgradeTest, DownloadedCopyTakesThePlaceOfTheProgram) {
  PutMachineText(kUpgradeProgramKey, "path", program_);
  const std::size_t new_size = PutNewCopy(dir_.File("Upgrade.new"));
  EXPECT_EQ(RunUpgrade(nullptr, kUpgradePlain), 1);
  EXPECT_EQ(LoggedLine(), Logged("Upgrade.exe RP \"Corvale Rip\"", new_size));
  EXPECT_FALSE(FileExists(dir_.File("Upgrade.new")));
  EXPECT_FALSE(FileExists(dir_.File("Upgrade.old")));
}

TEST_F(UpgradeTest, ExtensionInCapitalsStillFindsTheCopyAndKeepsTheProgram) {
  const std::string capitals = dir_.File("Upgrade.EXE");
  const std::size_t new_size = PutNewCopy(dir_.File("Upgrade.new"));
  EXPECT_EQ(ReplaceUpgradeProgram(capitals.c_str()), kSwapDone);
  EXPECT_EQ(ReadWholeFile(program_).size(), new_size);

  // No ".exe" at all: nothing is its own replacement, nothing is deleted.
  const std::string bare = dir_.File("Upgrade");
  WriteWholeFile(bare, fake_.data(), fake_.size());
  EXPECT_EQ(ReplaceUpgradeProgram(bare.c_str()), kSwapNoNewCopy);
  EXPECT_EQ(ReadWholeFile(bare).size(), fake_.size());
}

TEST_F(UpgradeTest, CopyThatIsNoProgramOrBadlySignedIsRefused) {
  PutMachineText(kTestUpgradeKey, "path", program_);
  WriteWholeFile(dir_.File("Upgrade.new"), std::string("<html>proxy error page</html>"));
  EXPECT_EQ(LaunchUpgrade(nullptr, "Corvale Rip", kTestUpgradeKey, kUpgradePlain), 1);
  EXPECT_EQ(LoggedLine(), Logged("Upgrade.exe RP \"Corvale Rip\"", fake_.size()));
  EXPECT_TRUE(FileExists(dir_.File("Upgrade.new")));

  const std::size_t new_size = PutNewCopy(dir_.File("Upgrade.new"));
  SetUpgradeTrustQuery(BadSignature);
  EXPECT_EQ(ReplaceUpgradeProgram(program_.c_str()), kSwapRefused);
  EXPECT_EQ(ReadWholeFile(program_).size(), fake_.size());
  SetUpgradeTrustQuery(NoSignature);
  EXPECT_EQ(ReplaceUpgradeProgram(program_.c_str()), kSwapDone);
  EXPECT_EQ(ReadWholeFile(program_).size(), new_size);
}

TEST_F(UpgradeTest, FailedSwapKeepsAProgramInPlace) {
  const std::string new_path = dir_.File("Upgrade.new");
  PutNewCopy(new_path);
  {
    // Held open without delete sharing: the copy cannot be renamed.
    HANDLE held = CreateFileA(new_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReplaceUpgradeProgram(program_.c_str()), kSwapRestored);
    CloseHandle(held);
  }
  EXPECT_EQ(ReadWholeFile(program_).size(), fake_.size());
  EXPECT_FALSE(FileExists(dir_.File("Upgrade.old")));
  {
    HANDLE held = CreateFileA(program_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReplaceUpgradeProgram(program_.c_str()), kSwapOldInUse);
    CloseHandle(held);
  }
  EXPECT_EQ(ReadWholeFile(program_).size(), fake_.size());
  EXPECT_TRUE(FileExists(new_path));
}

// A download cut short keeps valid headers; it must not replace the program.
TEST_F(UpgradeTest, TruncatedCopyIsRefusedAndTheOldProgramStarts) {
  PutMachineText(kTestUpgradeKey, "path", program_);
  ASSERT_GT(fake_.size(), 8192u);
  WriteWholeFile(dir_.File("Upgrade.new"), fake_.data(), 8192);
  EXPECT_EQ(LaunchUpgrade(nullptr, "Corvale Rip", kTestUpgradeKey, kUpgradePlain), 1);
  EXPECT_EQ(LoggedLine(), Logged("Upgrade.exe RP \"Corvale Rip\"", fake_.size()));
  EXPECT_EQ(ReadWholeFile(program_).size(), fake_.size());
  EXPECT_TRUE(FileExists(dir_.File("Upgrade.new")));
}

// A whole image that Windows will not run as a program: the old program
// must come back and be started in its place.
TEST_F(UpgradeTest, CopyThatCannotStartIsReplacedByTheOldProgram) {
  PutMachineText(kTestUpgradeKey, "path", program_);
  std::vector<unsigned char> unrunnable = fake_;
  unrunnable.insert(unrunnable.end(), 512, 0xA5);
  std::uint32_t new_header = 0;
  for (int i = 0; i < 4; ++i) new_header |= std::uint32_t(unrunnable[0x3C + std::size_t(i)]) << (8 * i);
  // The machine field: an ARM64 program.
  unrunnable[new_header + 4] = 0x64;
  unrunnable[new_header + 5] = 0xAA;
  WriteWholeFile(dir_.File("Upgrade.new"), unrunnable.data(), unrunnable.size());

  EXPECT_EQ(LaunchUpgrade(nullptr, "Corvale Rip", kTestUpgradeKey, kUpgradePlain), 1);
  EXPECT_EQ(LoggedLine(), Logged("Upgrade.exe RP \"Corvale Rip\"", fake_.size()));
  EXPECT_EQ(ReadWholeFile(program_).size(), fake_.size());
  EXPECT_FALSE(FileExists(dir_.File("Upgrade.old")));
}

TEST_F(UpgradeTest, SwapCutShortIsRepairedAtTheNextStart) {
  PutMachineText(kUpgradeProgramKey, "path", program_);
  const std::string aside = dir_.File("Upgrade.old");

  // Cut short after the old program went aside: none in place.
  ASSERT_TRUE(MoveFileExA(program_.c_str(), aside.c_str(), 0));
  RestoreRegisteredUpgradeProgram();
  EXPECT_EQ(ReadWholeFile(program_).size(), fake_.size());
  EXPECT_FALSE(FileExists(aside));

  // The same found by the upgrade command itself.
  ASSERT_TRUE(MoveFileExA(program_.c_str(), aside.c_str(), 0));
  EXPECT_EQ(RunUpgrade(nullptr, kUpgradePlain), 1);
  EXPECT_EQ(LoggedLine(), Logged("Upgrade.exe RP \"Corvale Rip\"", fake_.size()));
  EXPECT_FALSE(FileExists(aside));

  // Cut short before the new program had started: a whole program in place
  // stays, and the old one goes once it has started.
  PutNewCopy(aside);
  RestoreRegisteredUpgradeProgram();
  EXPECT_EQ(ReadWholeFile(program_).size(), fake_.size());
  ASSERT_TRUE(FileExists(aside));
  DeleteFileA(dir_.File("upgrade.log").c_str());
  EXPECT_EQ(RunUpgrade(nullptr, kUpgradePlain), 1);
  EXPECT_EQ(LoggedLine(), Logged("Upgrade.exe RP \"Corvale Rip\"", fake_.size()));
  EXPECT_FALSE(FileExists(aside));
}

// Components are created in an order that is neither the sorted order nor
// its reverse; the expectations depend on neither.
class ComponentRegister {
 public:
  void Add(const char* name, const char* code, const char* manual) {
    const std::string key = std::string(kUpgradeComponentsKey) + "\\" + name;
    if (code) PutMachineText(key, "CODE", code);
    if (manual) PutMachineText(key, "manual", manual);
  }
};

TEST_F(UpgradeTest, ComponentLookupMatchesTheCodeIgnoringCase) {
  ComponentRegister components;
  components.Add("zulu", "XX", "C:\\zulu.pdf");
  components.Add("delta", "RP", nullptr);
  components.Add("mike", "rp", "C:\\mike.pdf");
  components.Add("alpha", "QQ", nullptr);
  components.Add("kilo", nullptr, "C:\\kilo.pdf");

  TextBufOwner value;
  EXPECT_EQ(FindComponentValue("RP", "manual", value.ptr()), 1);
  EXPECT_STREQ(value.c_str(), "C:\\mike.pdf");
  EXPECT_EQ(FindComponentValue("xx", "MANUAL", value.ptr()), 1);
  EXPECT_STREQ(value.c_str(), "C:\\zulu.pdf");
  EXPECT_EQ(FindComponentValue("QQ", "manual", value.ptr()), 0);
  EXPECT_STREQ(value.c_str(), "");
  EXPECT_EQ(FindComponentValue("ZZ", "manual", value.ptr()), 0);

  TextBuf manual = FindManualPath("Rp");
  ASSERT_NE(manual, nullptr);
  EXPECT_STREQ(manual, "C:\\mike.pdf");
  TextFree(&manual);
  EXPECT_EQ(FindManualPath("QQ"), nullptr);
}

TEST_F(UpgradeTest, OfTwoComponentsWithTheCodeTheFirstListedWins) {
  ComponentRegister components;
  components.Add("papa", "RP", "C:\\papa.pdf");
  components.Add("echo", "rp", "C:\\echo.pdf");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUpgradeComponentsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  char first[256];
  DWORD size = sizeof first;
  ASSERT_EQ(RegEnumKeyExA(key, 0, first, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  TextBufOwner value;
  EXPECT_EQ(FindComponentValue("RP", "manual", value.ptr()), 1);
  EXPECT_EQ(std::string(value.c_str()), "C:\\" + std::string(first) + ".pdf");
}

TEST_F(UpgradeTest, ManualIsOpenedWhenItIsAnExistingDocument) {
  PutMachineText(kUpgradeProgramKey, "path", program_);
  const std::string manual = dir_.File("Manual.pdf");
  WriteWholeFile(manual, std::string("%PDF-1.4"));
  ComponentRegister components;
  components.Add("corvale", "RP", manual.c_str());

  EXPECT_EQ(OpenManual("RP"), 1);
  EXPECT_EQ(g_shell.count, 1);
  EXPECT_EQ(g_shell.file, manual);
  EXPECT_EQ(g_shell.folder, dir_.path());
  EXPECT_FALSE(FileExists(dir_.File("upgrade.log")));
}

TEST_F(UpgradeTest, ManualFallsBackToTheUpgradeProgram) {
  PutMachineText(kUpgradeProgramKey, "path", program_);
  const std::string fetch = Logged("Upgrade.exe -m RP_M \"Corvale Rip\"", fake_.size());

  // Nothing registered.
  EXPECT_EQ(OpenManual("RP"), 0);
  EXPECT_EQ(LoggedLine(), fetch);
  DeleteFileA(dir_.File("upgrade.log").c_str());

  // Registered but missing.
  ComponentRegister components;
  components.Add("corvale", "RP", dir_.File("Gone.pdf").c_str());
  EXPECT_EQ(OpenManual("RP"), 0);
  EXPECT_EQ(LoggedLine(), fetch);
  DeleteFileA(dir_.File("upgrade.log").c_str());

  // The shell cannot open it.
  const std::string manual = dir_.File("Manual.pdf");
  WriteWholeFile(manual, std::string("%PDF-1.4"));
  components.Add("corvale", "RP", manual.c_str());
  g_shell.answer = SE_ERR_NOASSOC;
  EXPECT_EQ(OpenManual("RP"), 0);
  EXPECT_EQ(g_shell.count, 1);
  EXPECT_EQ(LoggedLine(), fetch);
  DeleteFileA(dir_.File("upgrade.log").c_str());

  // A program named as the manual is not run.
  const std::string program = dir_.File("Setup.exe");
  WriteWholeFile(program, fake_.data(), fake_.size());
  components.Add("corvale", "RP", program.c_str());
  g_shell.answer = 42;
  EXPECT_EQ(OpenManual("RP"), 0);
  EXPECT_EQ(g_shell.count, 1);
  EXPECT_EQ(LoggedLine(), fetch);

  // Without an upgrade program nothing is started and nothing is shown.
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUpgradeProgramKey);
  EXPECT_EQ(OpenManual("RP"), 0);
}

}  // namespace
