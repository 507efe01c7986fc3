#include "rip/track_tags.h"

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void AddText(TagFields* fields, const char* name, const std::string& text) {
  std::string value = Trimmed(text);
  if (!value.empty()) fields->push_back({name, std::move(value)});
}

void AddNumber(TagFields* fields, const char* name, int number) {
  if (number > 0) fields->push_back({name, std::to_string(number)});
}

bool IsDiscId(const std::string& id) {
  return id.size() == 8 && id.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace

TagFields VorbisCommentFields(const TrackTagTexts& texts) {
  TagFields fields;
  AddText(&fields, "TITLE", texts.title);
  AddText(&fields, "ARTIST", texts.artist);
  AddText(&fields, "ALBUM", texts.album);
  AddNumber(&fields, "TRACKNUMBER", texts.number);
  AddNumber(&fields, "TRACKTOTAL", texts.total);
  AddText(&fields, "DATE", texts.year);
  AddText(&fields, "GENRE", texts.genre);
  const std::string id = Trimmed(texts.disc_id);
  if (IsDiscId(id)) fields.push_back({"CDDB", id});
  return fields;
}
