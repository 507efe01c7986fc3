#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CueSheetArgument, TakesOneCueSheetAfterTheProgramName) {
  struct Case {
    const char* command_line;
    const char* sheet;
  };
  const Case cases[] = {
      {"corvale.exe", ""},
      {"\"C:\\Program Files\\Corvale\\corvale.exe\"", ""},
      {"\"C:\\Program Files\\Corvale\\corvale.exe\" \"D:\\My Discs\\album.cue\"", "D:\\My Discs\\album.cue"},
      {"\"C:\\Program Files\\Corvale\\corvale.exe\"  \"D:\\album.CUE\"  ", "D:\\album.CUE"},
      {"corvale.exe D:\\My Discs\\album.cue", "D:\\My Discs\\album.cue"},
      {"corvale.exe\tD:\\a.cue\t", "D:\\a.cue"},
      {"corvale.exe D:\\album.wav", ""},
      {"corvale.exe .cue", ""},
      {"corvale.exe \"D:\\album.cue", ""},
      {"corvale.exe \"D:\\a.cue\" \"D:\\b.cue\"", ""},
      {"corvale.exe D:\\album.cue.txt", ""},
      {"corvale.exe D:\\discs\\.cue", ""},
      {"corvale.exe D:a.cue\" D:\\b.cue", ""},
      {"\"corvale.exe", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CueSheetArgument(c.command_line), c.sheet) << c.command_line;
  EXPECT_EQ(CueSheetArgument(nullptr), "");
}

}  // namespace
