#include "common/key_commands.h"

int CommandCodeFromCharacter(int message_code, int virtual_key, int character, KeyModifiers modifiers) {
  if (virtual_key == keycodes::kVirtualKeyDelete) return virtual_key;
  if (character == 0) return 0;
  const bool key_down = message_code == keycodes::kMessageKeyDown || message_code == keycodes::kNotifyListViewKeyDown ||
                        message_code == keycodes::kNotifyTreeViewKeyDown;
  if (!key_down || !modifiers.ctrl) return character;
  int code;
  if (character >= 'A' && character <= 'Z') {
    code = character - 'A' + 1;
  } else if (character >= 'a' && character <= 'z') {
    code = character - 'a' + 1;
  } else {
    code = character + keycodes::kCtrlCharacterOffset;
  }
  return modifiers.shift ? -code : code;
}
