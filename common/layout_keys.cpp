#include "common/layout_keys.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

bool Fits(int written, std::size_t size) { return written >= 0 && static_cast<std::size_t>(written) < size; }

}  // namespace

bool FormatDialogKey(char* out, std::size_t out_size, const char* product, int dialog_id) {
  if (out == nullptr || out_size == 0) return false;
  out[0] = '\0';
  if (product == nullptr || product[0] == '\0') return false;
  const int written = std::snprintf(out, out_size, "Software\\VELMARON\\%s\\DLGS\\%d", product, dialog_id);
  if (Fits(written, out_size)) return true;
  out[0] = '\0';
  return false;
}

bool FormatListKey(char* out, std::size_t out_size, const char* product, int dialog_id, int control_id,
                   const char* sub_key) {
  char dialog_key[kLayoutKeySize];
  if (!FormatDialogKey(dialog_key, sizeof dialog_key, product, dialog_id)) return false;
  const int written = sub_key != nullptr ? std::snprintf(out, out_size, "%s\\%d\\%s", dialog_key, control_id, sub_key)
                                         : std::snprintf(out, out_size, "%s\\%d", dialog_key, control_id);
  if (Fits(written, out_size)) return true;
  if (out_size > 0) out[0] = '\0';
  return false;
}

bool ParseDecimal(const char* text, int* value) {
  if (text == nullptr || text[0] == '\0') return false;
  errno = 0;
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || number < INT_MIN || number > INT_MAX) return false;
  *value = static_cast<int>(number);
  return true;
}

LayoutCheck CheckColumnOrder(const int* order, int count) {
  if (order == nullptr || count <= 0) return {false, "no columns"};
  std::vector<bool> seen(static_cast<std::size_t>(count), false);
  for (int i = 0; i < count; ++i) {
    if (order[i] < 0 || order[i] >= count) return {false, "column index out of range"};
    if (seen[static_cast<std::size_t>(order[i])]) return {false, "column named twice"};
    seen[static_cast<std::size_t>(order[i])] = true;
  }
  return {true, ""};
}

int ClampColumnWidth(int width) { return width < 0 ? 0 : width > kMaxColumnWidth ? kMaxColumnWidth : width; }

std::string FormatNumberList(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) text += ',';
    text += std::to_string(numbers[i]);
  }
  return text;
}

bool ParseNumberList(const char* text, std::vector<int>* numbers) {
  if (text == nullptr || numbers == nullptr) return false;
  std::vector<int> parsed;
  std::string part;
  for (const char* at = text;; ++at) {
    if (*at == ',' || *at == '\0') {
      int value = 0;
      if (!ParseDecimal(part.c_str(), &value)) return false;
      parsed.push_back(value);
      part.clear();
      if (*at == '\0') break;
    } else {
      part += *at;
    }
  }
  *numbers = parsed;
  return true;
}
