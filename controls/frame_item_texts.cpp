#include "controls/frame_item_texts.h"

#include <cstdlib>
#include <string>

#include "common/text_utils.h"
#include "controls/dialog_frame.h"

namespace {

constexpr int kFirstItemTextSize = 512;
constexpr int kMaxItemTextSize = 1500000;

}  // namespace

int ReadItemText(DialogFrame* frame, int control_id, char** text) {
  if (frame == nullptr || frame->window == nullptr || text == nullptr) return 0;
  std::string buffer;
  int size = kFirstItemTextSize;
  int length = 0;
  for (;;) {
    buffer.assign(static_cast<std::size_t>(size), '\0');
    length = static_cast<int>(GetDlgItemTextA(frame->window, control_id, &buffer[0], size));
    if (length < size - 1 || size >= kMaxItemTextSize) break;
    size = size * 2 > kMaxItemTextSize ? kMaxItemTextSize : size * 2;
  }
  buffer.resize(static_cast<std::size_t>(length));
  char* copy = StrDup(buffer.c_str());
  if (copy == nullptr) return 0;
  std::free(*text);
  *text = copy;
  return length;
}

void SetItemText(DialogFrame* frame, int control_id, const char* text) {
  if (frame == nullptr || frame->window == nullptr) return;
  SetDlgItemTextA(frame->window, control_id, text != nullptr ? text : "");
}
