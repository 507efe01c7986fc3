// TranslationTable: the texts of one language, from a key (the English text,
// optionally followed by ":" and a dialog id) to its translation.  Lookups
// are exact and case-sensitive; entering an existing key replaces its
// translation.  The table owns its translations.
#pragma once

#include <cstddef>

#include "common/string_map.h"

class TranslationTable {
 public:
  TranslationTable() = default;
  ~TranslationTable();
  TranslationTable(const TranslationTable&) = delete;
  TranslationTable& operator=(const TranslationTable&) = delete;
  TranslationTable(TranslationTable&& other) noexcept;
  TranslationTable& operator=(TranslationTable&& other) noexcept;

  // Enters a copy of the translation under the key.  False (and the table
  // unchanged) for an empty key, a null translation or when memory runs out.
  bool Enter(const char* key, const char* translation);

  // The translation of exactly that key, or nullptr.
  const char* Find(const char* key) const;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // Frees every entry.
  void Clear();

 private:
  StringMap map_ = nullptr;
  std::size_t size_ = 0;
};
