#include "common/message_pump.h"

#include <windows.h>

namespace {

constexpr DWORD kWaitForMoreMs = 10;

bool DispatchQueued() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

}  // namespace

bool PumpMessages() {
  if (!DispatchQueued()) return false;
  if (MsgWaitForMultipleObjects(0, nullptr, FALSE, kWaitForMoreMs, QS_ALLINPUT) == WAIT_OBJECT_0) {
    return DispatchQueued();
  }
  return true;
}
