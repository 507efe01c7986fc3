// Key=value settings files driven by a table: each entry binds a key to a
// variable and a kind, and the same table serves reading and writing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// A text setting: none (std::nullopt) is distinct from an empty text.
using SettingText = std::optional<std::string>;

// A window placement carried as one text; the window side formats and parses.
struct PlacementAccess {
  std::function<std::string()> format;
  std::function<void(const char* text)> parse;
};

// A number that only values within [low, high] may set: anything else,
// malformed text included, reads as `fallback`.  Like a later integer it is
// written only when it differs from `fallback`.
struct RangedInteger {
  int32_t* value;
  int32_t low;
  int32_t high;
  int32_t fallback;
};

enum class SettingKind { kText, kInteger, kCharacter, kFlag, kPlacement, kRanged };

struct SettingItem {
  // The key as written; reading compares it without regard to case.
  const char* key;
  // Kind and variable together: the alternative held decides the kind.
  std::variant<SettingText*, int32_t*, char*, uint8_t*, PlacementAccess, RangedInteger> variable;
  // An integer equal to this is not written.
  std::optional<int32_t> unwritten_value = std::nullopt;

  static SettingItem Text(const char* key, SettingText* value) { return {key, value}; }
  static SettingItem Integer(const char* key, int32_t* value) { return {key, value}; }
  // A setting added to the file after its first layout: written only when it
  // differs from its default, so that a file of default settings stays as
  // the earlier layout has it.
  static SettingItem LaterInteger(const char* key, int32_t* value, int32_t default_value) {
    return {key, value, default_value};
  }
  static SettingItem Character(const char* key, char* value) { return {key, value}; }
  // A one-byte flag, stored as 0 or 1.
  static SettingItem Flag(const char* key, uint8_t* value) { return {key, value}; }
  static SettingItem Placement(const char* key, PlacementAccess access) { return {key, std::move(access)}; }
  static SettingItem Ranged(const char* key, int32_t* value, int32_t low, int32_t high, int32_t fallback) {
    return {key, RangedInteger{value, low, high, fallback}, fallback};
  }

  SettingKind kind() const { return static_cast<SettingKind>(variable.index()); }
};

using SettingTable = std::vector<SettingItem>;

// The leading decimal number of `text`: leading blanks and a sign allowed, no
// digits give 0, values beyond the 32-bit range stop at its limits.
int32_t ParseSettingInteger(const char* text);

// A whole decimal number with an optional sign and blanks around it, within
// [low, high]; otherwise `fallback`.
int32_t ParseRangedInteger(const char* text, int32_t low, int32_t high, int32_t fallback);

// Sets every text setting of the table to none.
void ClearTextSettings(const SettingTable& table);

// Applies one cleaned line: the first entry whose key, ignoring case, starts
// the line and is followed directly by "=" takes the rest as its value.
// Returns false when no entry matches.
bool ApplySettingLine(const std::string& line, const SettingTable& table);

// Reads every line of `in` into the table (a key given twice keeps its last
// value).  Returns the number of lines that set an entry.
int ReadSettingTable(std::FILE* in, const SettingTable& table);

// Writes one line per entry in table order: texts only when present and not
// empty, every other kind always.  Returns the number of entries visited;
// write errors show in the stream's error state.
int WriteSettingTable(std::FILE* out, const SettingTable& table);
