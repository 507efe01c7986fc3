#include "common/translation_table.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

char* CopyText(const char* text) {
  std::size_t length = std::strlen(text);
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy) std::memcpy(copy, text, length + 1);
  return copy;
}

void FreeTranslation(StringMapValue value, void*) { std::free(reinterpret_cast<char*>(value)); }

}  // namespace

TranslationTable::~TranslationTable() { Clear(); }

TranslationTable::TranslationTable(TranslationTable&& other) noexcept
    : map_(std::exchange(other.map_, nullptr)), size_(std::exchange(other.size_, 0)) {}

TranslationTable& TranslationTable::operator=(TranslationTable&& other) noexcept {
  if (this != &other) {
    Clear();
    map_ = std::exchange(other.map_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool TranslationTable::Enter(const char* key, const char* translation) {
  if (!key || !*key || !translation) return false;
  char* copy = CopyText(translation);
  if (!copy) return false;
  char* previous = reinterpret_cast<char*>(StringMapFind(map_, key));
  if (!StringMapInsert(&map_, key, reinterpret_cast<StringMapValue>(copy))) {
    std::free(copy);
    return false;
  }
  if (previous) {
    std::free(previous);
  } else {
    ++size_;
  }
  return true;
}

const char* TranslationTable::Find(const char* key) const {
  if (!key) return nullptr;
  return reinterpret_cast<const char*>(StringMapFind(map_, key));
}

void TranslationTable::Clear() {
  StringMapForEachValue(map_, FreeTranslation, nullptr);
  StringMapFree(&map_);
  size_ = 0;
}
