// The texts that reach a tag: a typed year (taken only as 0 to 9999 written
// with digits), a track's texts from a CDDB record (no field written empty
// or padded), ID3's track text (the number first) and the layout a file name
// tells (only for a name ending in that extension).
// fuzz-seeds: tests/rip/tag_years/good tests/rip/tag_years/bad
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rip/tag_layout.h"
#include "rip/track_tags.h"

namespace {

bool EndsWithExtension(const std::string& name, const char* extension) {
  const std::string wanted(extension);
  if (name.size() < wanted.size()) return false;
  for (size_t i = 0; i < wanted.size(); ++i) {
    const char c = name[name.size() - wanted.size() + i];
    if (std::tolower(static_cast<unsigned char>(c)) != wanted[i]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const std::optional<int> year = ParseTagYear(text);
  if (year && (*year < 0 || *year > 9999)) std::abort();
  if (year && *year > 0 && text.find_first_of("123456789") == std::string::npos) std::abort();

  TrackTagTexts texts;
  texts.title = text;
  texts.artist = text.substr(0, size / 2);
  texts.year = text;
  texts.disc_id = text;
  texts.number = size > 0 ? int(data[0]) - 8 : 0;
  texts.total = int(size % 100);
  const TagFields fields = VorbisCommentFields(texts);
  for (const TagField& field : fields) {
    if (field.value.empty() || field.value.front() == ' ' || field.value.back() == ' ') std::abort();
  }
  const std::string track = Id3TrackText(fields);
  if (!track.empty() && track.rfind(TagFieldValue(fields, "TRACKNUMBER"), 0) != 0) std::abort();

  const char* extensions[] = {"", ".mp3", ".ogg", ".flac", ".opus", ".wma"};
  const TagLayout layout = TagLayoutForFileName(text);
  if (layout != TagLayout::kNone && !EndsWithExtension(text, extensions[int(layout)])) std::abort();
  return 0;
}
