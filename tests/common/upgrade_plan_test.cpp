#include "common/upgrade_plan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(UpgradePlanTest, CommandLines) {
  EXPECT_EQ(UpgradeCommandLine(nullptr, "RP", "Corvale Rip", kUpgradePlain), "Upgrade.exe RP \"Corvale Rip\"");
  EXPECT_EQ(UpgradeCommandLine("RP_M", "RP", "Corvale Rip", kUpgradeManual), "Upgrade.exe -m RP_M \"Corvale Rip\"");
  EXPECT_EQ(UpgradeCommandLine("XY", "RP", nullptr, kUpgradeProduct), "Upgrade.exe -p XY");
  EXPECT_EQ(UpgradeCommandLine(nullptr, nullptr, "Corvale Rip", kUpgradePlain), "");
}

TEST(UpgradePlanTest, SiblingPathReplacesTheLastExeInAnyCase) {
  EXPECT_EQ(UpgradeSiblingPath("C:\\Tools\\Upgrade.exe", ".new"), "C:\\Tools\\Upgrade.new");
  EXPECT_EQ(UpgradeSiblingPath("C:\\a.exe\\Upgrade.exe", ".new"), "C:\\a.exe\\Upgrade.new");
  EXPECT_EQ(UpgradeSiblingPath("C:\\TOOLS\\UPGRADE.EXE", ".old"), "C:\\TOOLS\\UPGRADE.old");
  // Without ".exe" there is no sibling: the program must not be its own copy.
  EXPECT_EQ(UpgradeSiblingPath("C:\\Tools\\Upgrade", ".new"), "");
  EXPECT_EQ(UpgradeSiblingPath("", ".new"), "");
}

// A minimal image: "MZ", the new-header offset at 0x3C, "PE\0\0" there.
std::vector<unsigned char> Image(std::uint32_t new_header, std::size_t size) {
  std::vector<unsigned char> image(size, 0);
  image[0] = 'M';
  image[1] = 'Z';
  for (std::size_t i = 0; i < 4; ++i) image[0x3C + i] = static_cast<unsigned char>(new_header >> (8 * i));
  if (std::size_t(new_header) + 4 <= size) std::memcpy(image.data() + new_header, "PE\0\0", 4);
  return image;
}

TEST(UpgradePlanTest, ExecutableHeaderRules) {
  EXPECT_TRUE(IsWindowsExecutableImage(Image(0x80, 512).data(), 512));
  EXPECT_TRUE(IsWindowsExecutableImage(Image(508, 512).data(), 512));

  struct Case {
    const char* broken_rule;
    std::vector<unsigned char> bytes;
  };
  std::vector<Case> cases = {
      {"no_mz_signature", Image(0x80, 512)},
      {"pe_signature_missing", Image(0x80, 512)},
      {"new_header_past_the_data", Image(509, 512)},
      {"new_header_inside_the_dos_header", Image(0x3C, 512)},
      {"new_header_offset_wraps", Image(0xFFFFFFFEu, 512)},
      {"too_short_for_the_offset_field", std::vector<unsigned char>{'M', 'Z', 0, 0}},
      {"text_file", std::vector<unsigned char>(512, 'x')},
  };
  cases[0].bytes[0] = 'Z';
  cases[1].bytes[0x81] = 'X';
  for (const Case& c : cases) {
    EXPECT_FALSE(IsWindowsExecutableImage(c.bytes.data(), c.bytes.size())) << c.broken_rule;
  }
  EXPECT_FALSE(IsWindowsExecutableImage(nullptr, 512));
}

TEST(UpgradePlanTest, OnlyDocumentsAreManuals) {
  for (const char* document :
       {"C:\\Docs\\manual.pdf", "C:\\Docs\\Manual.PDF", "C:\\a.exe\\help.htm", "C:\\Docs\\manual.chm", "readme.txt"}) {
    EXPECT_TRUE(IsManualDocument(document)) << document;
  }
  for (const char* other :
       {"C:\\Docs\\manual.exe", "C:\\Docs\\manual.pdf.exe", "C:\\Docs\\run.bat", "C:\\Docs\\run.cmd", "C:\\Docs\\x.vbs",
        "C:\\Docs\\x.js", "C:\\Docs\\x.lnk", "C:\\Docs\\x.scr", "C:\\Docs\\manual", "C:\\Docs.pdf\\manual",
        "C:\\Docs\\x.exe:manual.pdf", "C:\\Docs\\manual.pdf ", ""}) {
    EXPECT_FALSE(IsManualDocument(other)) << other;
  }
  EXPECT_FALSE(IsManualDocument(nullptr));
}

}  // namespace
