#include <windows.h>

#include "common/key_commands.h"

int KeyToCommandCode(int message_code, int virtual_key) {
  if (virtual_key == keycodes::kVirtualKeyDelete) return virtual_key;
  // The high bit marks a dead key; its character is the low part.
  const UINT mapped = MapVirtualKeyA(static_cast<UINT>(virtual_key), MAPVK_VK_TO_CHAR) & 0x7FFFFFFFu;
  KeyModifiers modifiers;
  modifiers.ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  modifiers.shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  return CommandCodeFromCharacter(message_code, virtual_key, static_cast<int>(mapped), modifiers);
}
