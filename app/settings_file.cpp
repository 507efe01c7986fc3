#include "app/settings_file.h"

#include <climits>
#include <cstring>

#include "app/line_reader.h"

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool KeyStartsLine(const char* key, const std::string& line) {
  const size_t length = std::strlen(key);
  if (line.size() <= length || line[length] != '=') return false;
  for (size_t i = 0; i < length; ++i) {
    if (AsciiLower(key[i]) != AsciiLower(line[i])) return false;
  }
  return true;
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// A line break inside a value would end its line early, and whatever
// followed it would be read back as further keys: it is written as a blank.
void WriteLine(std::FILE* out, const char* key, const std::string& value) {
  std::string one_line = value;
  for (char& c : one_line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::fputs(key, out);
  std::fputc('=', out);
  std::fwrite(one_line.data(), 1, one_line.size(), out);
  std::fputc('\n', out);
}

}  // namespace

int32_t ParseSettingInteger(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  int64_t magnitude = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t ParseRangedInteger(const char* text, int32_t low, int32_t high, int32_t fallback) {
  while (*text == ' ' || *text == '\t') ++text;
  const char* digits = (*text == '+' || *text == '-') ? text + 1 : text;
  const char* end = digits;
  while (*end >= '0' && *end <= '9' && end - digits < 10) ++end;
  if (end == digits) return fallback;
  const char* rest = end;
  while (*rest == ' ' || *rest == '\t') ++rest;
  if (*rest != '\0') return fallback;
  const int32_t number = ParseSettingInteger(text);
  return number >= low && number <= high ? number : fallback;
}

void ClearTextSettings(const SettingTable& table) {
  for (const SettingItem& item : table) {
    if (auto text = std::get_if<SettingText*>(&item.variable)) (*text)->reset();
  }
}

bool ApplySettingLine(const std::string& line, const SettingTable& table) {
  for (const SettingItem& item : table) {
    if (!KeyStartsLine(item.key, line)) continue;
    const char* value = line.c_str() + std::strlen(item.key) + 1;
    std::visit(Overloaded{
                   [&](SettingText* text) { *text = std::string(value); },
                   [&](int32_t* number) { *number = ParseSettingInteger(value); },
                   [&](char* character) { *character = value[0]; },
                   [&](uint8_t* flag) { *flag = ParseSettingInteger(value) != 0 ? 1 : 0; },
                   [&](const PlacementAccess& placement) {
                     if (placement.parse) placement.parse(value);
                   },
                   [&](const RangedInteger& ranged) {
                     *ranged.value = ParseRangedInteger(value, ranged.low, ranged.high, ranged.fallback);
                   },
               },
               item.variable);
    return true;
  }
  return false;
}

int ReadSettingTable(std::FILE* in, const SettingTable& table) {
  LineReader reader(in);
  std::string line;
  int applied = 0;
  while (reader.Next(line)) {
    if (ApplySettingLine(line, table)) ++applied;
  }
  return applied;
}

int WriteSettingTable(std::FILE* out, const SettingTable& table) {
  int visited = 0;
  for (const SettingItem& item : table) {
    ++visited;
    std::visit(Overloaded{
                   [&](SettingText* text) {
                     if (*text && !(*text)->empty()) WriteLine(out, item.key, **text);
                   },
                   [&](int32_t* number) {
                     if (item.unwritten_value != *number) std::fprintf(out, "%s=%i\n", item.key, *number);
                   },
                   [&](char* character) {
                     // A NUL would end the line early when it is read back.
                     WriteLine(out, item.key, *character ? std::string(1, *character) : "");
                   },
                   [&](uint8_t* flag) { std::fprintf(out, "%s=%i\n", item.key, *flag ? 1 : 0); },
                   [&](const PlacementAccess& placement) {
                     WriteLine(out, item.key, placement.format ? placement.format() : "");
                   },
                   [&](const RangedInteger& ranged) {
                     if (item.unwritten_value != *ranged.value) std::fprintf(out, "%s=%i\n", item.key, *ranged.value);
                   },
               },
               item.variable);
  }
  return visited;
}
