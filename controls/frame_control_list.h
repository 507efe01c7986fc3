// The frame's control list: the wrappers (list views, bars, viewers) and the
// hooks registered with a frame, in the order they were added.  The frame
// procedure hands each entry the messages of its kind.
#pragma once

#include <windows.h>

#include <cstdint>

struct DialogFrame;

using FrameControlHandler = int (*)(void* object, UINT message, WPARAM wparam, LPARAM lparam);
using FrameControlDestroy = void (*)(void* object);

enum FrameControlKind : uint8_t {
  kFrameListView = 0,
  // Message hooks: they see every message first; a nonzero answer ends it.
  kFrameMessageHookFirst = 2,
  kFrameMessageHook = 3,
  kFrameCommandHook = 6,
};

struct FrameControl {
  uint8_t kind;
  void* object;  // the wrapper that added the entry
  FrameControlHandler handler;
  HWND window;
  int control_id;
  FrameControl* next;
  FrameControl* previous;
  FrameControlDestroy destroy;  // called with object when the list is freed; may be null
};

// Appends an entry to the frame's control list; null when the frame has no
// window or memory runs out.
FrameControl* AddFrameControl(DialogFrame* frame, void* object, int control_id, HWND window, FrameControlKind kind,
                              FrameControlHandler handler, FrameControlDestroy destroy);
// Frees the control list, calling each entry's destroy function.
void FreeFrameControls(DialogFrame* frame);
