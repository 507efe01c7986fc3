#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "common/key_commands.h"

namespace {

static_assert(keycodes::kVirtualKeyDelete == VK_DELETE, "");
static_assert(keycodes::kMessageKeyDown == WM_KEYDOWN, "");
static_assert(keycodes::kNotifyListViewKeyDown == int(LVN_KEYDOWN), "");
static_assert(keycodes::kNotifyTreeViewKeyDown == int(TVN_KEYDOWN), "");

// Sets the thread's keyboard state for the duration of a test.
class HeldKeys {
 public:
  HeldKeys(bool ctrl, bool shift) {
    GetKeyboardState(saved_);
    BYTE state[256] = {};
    if (ctrl) state[VK_CONTROL] = 0x80;
    if (shift) state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
  }
  ~HeldKeys() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

TEST(KeyToCommandCode, UsesTheKeyMapAndTheKeyboardState) {
  {
    HeldKeys keys(true, false);
    EXPECT_EQ(KeyToCommandCode(keycodes::kNotifyListViewKeyDown, 'C'), 3);
    EXPECT_EQ(KeyToCommandCode(WM_KEYDOWN, '1'), 1049);
    EXPECT_EQ(KeyToCommandCode(WM_KEYDOWN, VK_DELETE), VK_DELETE);
  }
  {
    HeldKeys keys(true, true);
    EXPECT_EQ(KeyToCommandCode(keycodes::kNotifyListViewKeyDown, 'C'), -3);
  }
  {
    HeldKeys keys(false, false);
    EXPECT_EQ(KeyToCommandCode(keycodes::kNotifyListViewKeyDown, 'C'), 'C');
    EXPECT_EQ(KeyToCommandCode(WM_KEYDOWN, VK_SHIFT), 0);
  }
}

}  // namespace
