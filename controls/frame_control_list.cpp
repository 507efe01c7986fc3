#include "controls/frame_control_list.h"

#include <cstdlib>

#include "controls/dialog_frame.h"

FrameControl* AddFrameControl(DialogFrame* frame, void* object, int control_id, HWND window, FrameControlKind kind,
                              FrameControlHandler handler, FrameControlDestroy destroy) {
  if (frame == nullptr || frame->window == nullptr) return nullptr;
  auto* entry = static_cast<FrameControl*>(std::calloc(1, sizeof(FrameControl)));
  if (entry == nullptr) return nullptr;
  entry->kind = kind;
  entry->object = object;
  entry->handler = handler;
  entry->window = window;
  entry->control_id = control_id;
  entry->destroy = destroy;
  if (frame->controls == nullptr) {
    frame->controls = entry;
  } else {
    FrameControl* tail = frame->controls;
    while (tail->next != nullptr) tail = tail->next;
    tail->next = entry;
    entry->previous = tail;
  }
  return entry;
}

void FreeFrameControls(DialogFrame* frame) {
  if (frame == nullptr) return;
  FrameControl* entry = frame->controls;
  frame->controls = nullptr;
  while (entry != nullptr) {
    FrameControl* next = entry->next;
    if (entry->destroy != nullptr) entry->destroy(entry->object);
    std::free(entry);
    entry = next;
  }
}
