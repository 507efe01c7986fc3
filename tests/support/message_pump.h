// Dispatches what the thread's queue holds now, as the dialog tests need
// after opening a window (its first WM_SIZE is posted).
#pragma once

#include <windows.h>

namespace testing_support {

inline void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace testing_support
