#include "cd/cddb_disc_info.h"

#include <cstring>

namespace {

constexpr char kTrackTitleKey[] = "TTITLE";
constexpr char kDiscTitleKey[] = "DTITLE";
constexpr char kYearKey[] = "DYEAR";
constexpr char kGenreKey[] = "DGENRE";

bool KeyIs(const char* key, size_t key_length, const char* wanted) {
  return key_length == std::strlen(wanted) && std::memcmp(key, wanted, key_length) == 0;
}

// The n of "TTITLEn": digits only, at least one.  -1 for anything else or
// for a number of 100 or more.
int TrackTitleNumber(const char* key, size_t key_length) {
  const size_t prefix = sizeof kTrackTitleKey - 1;
  if (key_length <= prefix || std::memcmp(key, kTrackTitleKey, prefix) != 0) return -1;
  int number = 0;
  for (size_t i = prefix; i < key_length; ++i) {
    if (key[i] < '0' || key[i] > '9') return -1;
    number = number * 10 + (key[i] - '0');
    if (number >= kCddbMaxTitles) return -1;
  }
  return number;
}

}  // namespace

void CopyCut(char* dest, const char* source, size_t source_length, int max_chars, LeadBytePredicate is_lead) {
  size_t length = 0;
  while (length < source_length && source[length] != '\0') {
    const bool lead = is_lead && is_lead(static_cast<unsigned char>(source[length]));
    const size_t step = lead && length + 1 < source_length && source[length + 1] != '\0' ? 2 : 1;
    if (length + step > size_t(max_chars)) break;
    if (lead && step == 1) break;  // a lead byte without its trail is no character
    length += step;
  }
  std::memcpy(dest, source, length);
  dest[length] = '\0';
}

void ParseCddbDiscInfo(const char* text, CddbDiscInfo* info, LeadBytePredicate is_lead, CddbDiscExtras* extras) {
  std::memset(info, 0, sizeof *info);
  if (extras) std::memset(extras, 0, sizeof *extras);
  if (!text) return;
  const char* line = text;
  while (*line) {
    const size_t line_length = std::strcspn(line, "\r\n");
    const char* next = line + line_length;
    while (*next == '\r' || *next == '\n') ++next;
    const char* equals = static_cast<const char*>(std::memchr(line, '=', line_length));
    if (line[0] != '#' && equals && equals != line) {
      const size_t key_length = size_t(equals - line);
      const char* value = equals + 1;
      const size_t value_length = line_length - key_length - 1;
      if (KeyIs(line, key_length, kDiscTitleKey)) {
        CopyCut(info->disc_title, value, value_length, kCddbTitleChars, is_lead);
      } else if (KeyIs(line, key_length, kYearKey)) {
        if (extras) CopyCut(extras->year, value, value_length, kCddbTitleChars, is_lead);
      } else if (KeyIs(line, key_length, kGenreKey)) {
        if (extras) CopyCut(extras->genre, value, value_length, kCddbTitleChars, is_lead);
      } else {
        const int number = TrackTitleNumber(line, key_length);
        if (number >= 0) {
          if (number + 1 > info->title_count) info->title_count = number + 1;
          CopyCut(info->track_titles[number], value, value_length, kCddbTitleChars, is_lead);
        }
      }
    }
    line = next;
  }
}

int ChooseCddbMatch(const akrip::CddbMatch* matches, int count) {
  if (!matches || count < 1) return -1;
  for (int i = 0; i < count; ++i) {
    if (matches[i].exact) return i;
  }
  return 0;
}

std::vector<std::string> TitlesForAudioTracks(const std::vector<std::string>& record_titles, const TrackTable& table) {
  std::vector<std::string> titles;
  const int count = table.count;
  const int title_count = int(record_titles.size());
  if (count < 1 || count > cdda::kMaxTracks) return titles;
  if (table.toc_track_count > 0 && title_count == table.toc_track_count) {
    for (int i = 0; i < count; ++i) {
      const int index = table.entries[i].number - table.toc_first_track;
      if (index < 0 || index >= title_count) return {};
      titles.push_back(record_titles[size_t(index)]);
    }
    return titles;
  }
  const bool all_audio = table.toc_track_count == 0 || table.toc_track_count == count;
  if (all_audio && title_count == count) titles = record_titles;
  return titles;
}

std::vector<std::string> RecordTitles(const CddbDiscInfo& info) {
  std::vector<std::string> titles;
  const int count = info.title_count < 0 ? 0 : info.title_count > kCddbMaxTitles ? kCddbMaxTitles : info.title_count;
  for (int i = 0; i < count; ++i)
    titles.push_back(std::string(info.track_titles[i], strnlen(info.track_titles[i], kCddbTextSize)));
  return titles;
}
