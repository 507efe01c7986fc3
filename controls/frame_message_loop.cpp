#include "controls/frame_message_loop.h"

#include "controls/dialog_frame.h"

namespace {

// The modeless frame window whose dialog handling the message belongs to:
// the top-level window it is for, when that is a frame's window.
HWND ModelessFrameWindowOf(HWND target) {
  if (target == nullptr) return nullptr;
  HWND top = GetAncestor(target, GA_ROOT);
  const DialogFrame* frame = FrameFromWindow(top);
  if (frame == nullptr || frame->window != top || frame->modal) return nullptr;
  return top;
}

}  // namespace

bool TranslateLoopMessage(MSG* message, HWND accelerator_window, HACCEL accelerators) {
  if (message == nullptr) return false;
  if (accelerator_window != nullptr && accelerators != nullptr &&
      TranslateAcceleratorA(accelerator_window, accelerators, message)) {
    return true;
  }
  HWND frame_window = ModelessFrameWindowOf(message->hwnd);
  return frame_window != nullptr && IsDialogMessageA(frame_window, message);
}
