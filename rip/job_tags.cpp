#include <windows.h>

#include <string>

#include "rip/rip_job.h"

namespace {

// Tags are Unicode; the program's texts are in the ANSI code page in force.
// A text that does not convert is left out rather than written garbled.
std::string AnsiToUtf8(const std::string& text) {
  if (text.empty()) return text;
  const int wide_length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  if (wide_length <= 0) return "";
  std::wstring wide(size_t(wide_length), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], wide_length) != wide_length) return "";
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return "";
  std::string utf8(size_t(length), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, &utf8[0], length, nullptr, nullptr) != length) {
    return "";
  }
  return utf8;
}

std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

TagFields TagFieldsForJobTrack(const RipJob& job, int track) {
  if (!job.tags.write || track < 0 || track >= job.track_count || track >= cdda::kMaxTracks) return {};
  const RipTrack& ripped = job.tracks[track];
  TrackTagTexts texts;
  texts.title = FieldText(ripped.title, sizeof ripped.title);
  texts.artist = FieldText(job.artist, sizeof job.artist);
  texts.album = FieldText(job.album_title, sizeof job.album_title);
  texts.year = job.tags.year;
  texts.genre = job.tags.genre;
  texts.disc_id = job.tags.disc_id;
  texts.number = ripped.number;
  texts.total = job.tags.track_total;
  TagFields fields = VorbisCommentFields(texts);
  for (TagField& field : fields) field.value = AnsiToUtf8(field.value);
  return fields;
}
