// Key presses to the character or command codes of list and tree views.
#pragma once

// Win32 numbers used here, kept free of the Windows headers.
namespace keycodes {
constexpr int kVirtualKeyDelete = 46;
constexpr int kMessageKeyDown = 0x0100;       // WM_KEYDOWN
constexpr int kNotifyListViewKeyDown = -155;  // LVN_KEYDOWN
constexpr int kNotifyTreeViewKeyDown = -412;  // TVN_KEYDOWN (ANSI)
constexpr int kCtrlCharacterOffset = 1000;
}  // namespace keycodes

struct KeyModifiers {
  bool ctrl = false;
  bool shift = false;
};

// The code for a key whose unshifted character is `character` (0: none).
// Delete is returned as it is; with Ctrl on a key-down message letters give
// 1..26 and other characters character + 1000, negated when Shift is down
// too; otherwise the character.
int CommandCodeFromCharacter(int message_code, int virtual_key, int character, KeyModifiers modifiers);

// As above, with the character from the system's key map and the modifiers
// from the current keyboard state (Windows build only).
int KeyToCommandCode(int message_code, int virtual_key);
