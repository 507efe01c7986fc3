#include "controls/window_placement.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// Reads a decimal integer at `*cursor` (blanks before it are skipped, as the
// text may have been edited by hand).  Numbers outside the int range count as
// missing rather than wrapping.
bool ReadInteger(const char** cursor, long* value) {
  const char* start = *cursor;
  char* end = nullptr;
  errno = 0;
  long parsed = std::strtol(start, &end, 10);
  if (end == start || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  *value = parsed;
  *cursor = end;
  return true;
}

bool SkipComma(const char** cursor) {
  if (**cursor != ',') return false;
  ++*cursor;
  return true;
}

int16_t ToDrag(long value) {
  if (value > INT16_MAX) return INT16_MAX;
  if (value < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(value);
}

}  // namespace

std::string FormatWindowPlacement(const WindowPlacementValues& values) {
  std::string text = std::to_string(values.normal_left) + "," + std::to_string(values.normal_top) + "," +
                     std::to_string(values.normal_right) + "," + std::to_string(values.normal_bottom) + "," +
                     std::to_string(values.show_state);
  for (const SplitterDrag& drag : values.splitter_drags) {
    text += "," + std::to_string(drag.x) + "," + std::to_string(drag.y);
  }
  return text;
}

int ParseWindowPlacement(const char* text, WindowPlacementValues& values) {
  if (text == nullptr) return 0;
  int* const fields[] = {&values.normal_left, &values.normal_top, &values.normal_right, &values.normal_bottom,
                         &values.show_state};
  const char* cursor = text;
  int stored = 0;
  long number = 0;
  for (int* field : fields) {
    if (stored > 0 && !SkipComma(&cursor)) return stored;
    if (!ReadInteger(&cursor, &number)) return stored;
    *field = static_cast<int>(number);
    ++stored;
  }
  for (SplitterDrag& drag : values.splitter_drags) {
    long x = 0;
    long y = 0;
    if (!SkipComma(&cursor) || !ReadInteger(&cursor, &x)) return stored;
    if (!SkipComma(&cursor) || !ReadInteger(&cursor, &y)) return stored;
    drag.x = ToDrag(x);
    drag.y = ToDrag(y);
    stored += 2;
  }
  return stored;
}
