#include "common/key_commands.h"

#include <gtest/gtest.h>

namespace {

constexpr KeyModifiers kNone{};
constexpr KeyModifiers kCtrl{true, false};
constexpr KeyModifiers kCtrlShift{true, true};
constexpr int kVirtualKeyC = 'C';
constexpr int kVirtualKey1 = '1';

TEST(CommandCodeFromCharacter, CtrlOnKeyDownMessagesGivesCommandCodes) {
  using keycodes::kNotifyListViewKeyDown;
  EXPECT_EQ(CommandCodeFromCharacter(kNotifyListViewKeyDown, kVirtualKeyC, 'C', kCtrl), 3);
  EXPECT_EQ(CommandCodeFromCharacter(kNotifyListViewKeyDown, kVirtualKeyC, 'C', kCtrlShift), -3);
  EXPECT_EQ(CommandCodeFromCharacter(kNotifyListViewKeyDown, kVirtualKey1, '1', kCtrl), 1049);
  EXPECT_EQ(CommandCodeFromCharacter(keycodes::kMessageKeyDown, 'A', 'a', kCtrl), 1);
  EXPECT_EQ(CommandCodeFromCharacter(keycodes::kNotifyTreeViewKeyDown, 'Z', 'Z', kCtrl), 26);
}

TEST(CommandCodeFromCharacter, OtherwiseTheCharacter) {
  EXPECT_EQ(CommandCodeFromCharacter(keycodes::kNotifyListViewKeyDown, kVirtualKeyC, 'C', kNone), 'C');
  // Ctrl outside a key-down message does not make a command.
  EXPECT_EQ(CommandCodeFromCharacter(0x0102, kVirtualKeyC, 'C', kCtrl), 'C');
  EXPECT_EQ(CommandCodeFromCharacter(keycodes::kMessageKeyDown, 0x10, 0, kCtrl), 0);
  EXPECT_EQ(CommandCodeFromCharacter(keycodes::kMessageKeyDown, keycodes::kVirtualKeyDelete, 0, kCtrlShift),
            keycodes::kVirtualKeyDelete);
}

}  // namespace
