#include "rip/tag_file.h"

#include <windows.h>

#include <memory>
#include <string>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>

#include "common/win_owners.h"
#include "rip/tag_layout.h"

namespace {

std::wstring Wide(const std::string& text, UINT code_page) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(code_page, 0, text.data(), int(text.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(size_t(length), L'\0');
  if (MultiByteToWideChar(code_page, 0, text.data(), int(text.size()), &wide[0], length) != length) return {};
  return wide;
}

// A character the ANSI code page lacks reads as "?"; the dialog writes back
// only what the user changed, so such a text survives being shown.
std::string Ansi(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string text(size_t(length), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &text[0], length, nullptr, nullptr) != length) {
    return std::string();
  }
  return text;
}

TagLib::String FromAnsi(const std::string& text) { return TagLib::String(Wide(text, CP_ACP)); }
TagLib::String FromUtf8(const std::string& text) { return TagLib::String(text, TagLib::String::UTF8); }

// The stream outlives the file that reads through it.
struct OpenTagFile {
  std::unique_ptr<TagLib::FileStream> stream;
  std::unique_ptr<TagLib::File> file;
};

std::unique_ptr<TagLib::File> ReaderFor(TagLayout layout, TagLib::IOStream* stream) {
  switch (layout) {
    case TagLayout::kId3:
      return std::make_unique<TagLib::MPEG::File>(stream, TagLib::ID3v2::FrameFactory::instance());
    case TagLayout::kOggVorbis:
      return std::make_unique<TagLib::Ogg::Vorbis::File>(stream);
    case TagLayout::kFlac:
      return std::make_unique<TagLib::FLAC::File>(stream, TagLib::ID3v2::FrameFactory::instance());
    case TagLayout::kOpus:
      return std::make_unique<TagLib::Ogg::Opus::File>(stream);
    case TagLayout::kAsf:
      return std::make_unique<TagLib::ASF::File>(stream);
    case TagLayout::kNone:
      break;
  }
  return nullptr;
}

// TagLib takes a file without a single MPEG frame for an MP3 all the same;
// audio has a sample rate.
bool HoldsAudio(TagLib::File& file) {
  return file.isValid() && file.tag() != nullptr && file.audioProperties() != nullptr &&
         file.audioProperties()->sampleRate() > 0;
}

// Names go to TagLib as UTF-16, as Windows opens them.
OpenTagFile Open(TagLayout layout, const char* path, bool read_only) {
  OpenTagFile open;
  const std::wstring name = Wide(path, CP_ACP);
  if (name.empty()) return open;
  open.stream = std::make_unique<TagLib::FileStream>(name.c_str(), read_only);
  if (!open.stream->isOpen() || (!read_only && open.stream->readOnly())) return OpenTagFile();
  open.file = ReaderFor(layout, open.stream.get());
  if (!open.file || !HoldsAudio(*open.file)) return OpenTagFile();
  return open;
}

TagFileResult ResultForError(DWORD error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return TagFileResult::kInUse;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return TagFileResult::kNotAudio;
    default:
      return TagFileResult::kFailed;
  }
}

// The copy in the original's folder; removed unless it took the original's place.
class TagCopy {
 public:
  TagCopy() = default;
  ~TagCopy() {
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }
  TagCopy(const TagCopy&) = delete;
  TagCopy& operator=(const TagCopy&) = delete;

  bool Create(const std::string& original) {
    const size_t slash = original.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : original.substr(0, slash + 1);
    char name[MAX_PATH] = {};
    if (folder.size() >= MAX_PATH - 14 || GetTempFileNameA(folder.c_str(), "tag", 0, name) == 0) return false;
    path_ = name;
    return true;
  }
  const std::string& path() const { return path_; }
  void Kept() { path_.clear(); }

 private:
  std::string path_;
};

int AudioMilliseconds(TagLib::File& file) { return file.audioProperties()->lengthInMilliseconds(); }

// Writes the tags into a copy of `path` with `change`, then puts the copy in
// its place.  Another program holding the file is told before anything is
// copied where the system says so, else when the copy cannot take its place.
// TagLib does not report every failed write, so the copy is read again, and
// must still be the same audio with the tags `written` expects, before it
// replaces anything.
template <typename Change, typename Written>
TagFileResult SaveThroughCopy(const char* path, Change change, Written written) {
  const TagLayout layout = TagLayoutForFileName(path ? path : "");
  if (layout == TagLayout::kNone) return TagFileResult::kNotAudio;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return ResultForError(GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return TagFileResult::kNotAudio;
  if (attributes & FILE_ATTRIBUTE_READONLY) return TagFileResult::kReadOnly;
  {
    FileHandle probe(
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe) return ResultForError(GetLastError());
  }
  TagCopy copy;
  if (!copy.Create(path)) return TagFileResult::kFailed;
  if (!CopyFileA(path, copy.path().c_str(), FALSE)) return ResultForError(GetLastError());
  int milliseconds = 0;
  {
    OpenTagFile open = Open(layout, copy.path().c_str(), false);
    if (!open.file) return TagFileResult::kNotAudio;
    milliseconds = AudioMilliseconds(*open.file);
    if (!change(layout, *open.file)) return TagFileResult::kFailed;
  }
  {
    OpenTagFile check = Open(layout, copy.path().c_str(), true);
    if (!check.file || AudioMilliseconds(*check.file) != milliseconds || !written(*check.file->tag())) {
      return TagFileResult::kFailed;
    }
  }
  if (!MoveFileExA(copy.path().c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    // The original is there and was writable a moment ago: it is held open.
    return error == ERROR_ACCESS_DENIED ? TagFileResult::kInUse : ResultForError(error);
  }
  copy.Kept();
  return TagFileResult::kDone;
}

bool SaveMpeg(TagLib::File& file, TagLib::File::StripTags strip) {
  auto& mpeg = static_cast<TagLib::MPEG::File&>(file);
  return mpeg.save(TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2, strip, TagLib::ID3v2::v3,
                   TagLib::File::Duplicate);
}

bool ApplyEdits(TagLayout layout, TagLib::File& file, const EditableTags& before, const EditableTags& after) {
  if (layout == TagLayout::kId3) {
    // Both layouts exist before any text is set, so each edit reaches both.
    auto& mpeg = static_cast<TagLib::MPEG::File&>(file);
    mpeg.ID3v2Tag(true);
    mpeg.ID3v1Tag(true);
  }
  TagLib::Tag* tag = file.tag();
  if (before.title != after.title) tag->setTitle(FromAnsi(after.title));
  if (before.artist != after.artist) tag->setArtist(FromAnsi(after.artist));
  if (before.album != after.album) tag->setAlbum(FromAnsi(after.album));
  if (before.year != after.year) {
    const std::optional<int> year = ParseTagYear(after.year);
    if (!year) return false;
    tag->setYear(unsigned(*year));
  }
  if (layout == TagLayout::kId3) return SaveMpeg(file, TagLib::File::StripNone);
  return file.save();
}

void SetTextFrame(TagLib::ID3v2::Tag* tag, const char* id, const std::string& utf8) {
  tag->removeFrames(id);
  if (utf8.empty()) return;
  auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::Latin1);
  frame->setText(FromUtf8(utf8));
  tag->addFrame(frame);  // the tag owns it now
}

// ID3v2.3 has no UTF-8: TagLib writes UTF-16 where Latin-1 does not hold a text.
bool WriteId3(TagLib::File& file, const TagFields& fields) {
  auto& mpeg = static_cast<TagLib::MPEG::File&>(file);
  TagLib::ID3v2::Tag* tag = mpeg.ID3v2Tag(true);
  SetTextFrame(tag, "TIT2", TagFieldValue(fields, "TITLE"));
  SetTextFrame(tag, "TPE1", TagFieldValue(fields, "ARTIST"));
  SetTextFrame(tag, "TALB", TagFieldValue(fields, "ALBUM"));
  SetTextFrame(tag, "TRCK", Id3TrackText(fields));
  // Written as ID3v2.3's TYER.
  SetTextFrame(tag, "TDRC", TagFieldValue(fields, "DATE"));
  SetTextFrame(tag, "TCON", TagFieldValue(fields, "GENRE"));
  const std::string disc_id = TagFieldValue(fields, "CDDB");
  if (!disc_id.empty()) {
    auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
    frame->setDescription("CDDB");
    frame->setText(FromUtf8(disc_id));
    tag->addFrame(frame);
  }
  mpeg.ID3v1Tag(true);
  return SaveMpeg(file, TagLib::File::StripOthers);
}

void SetAsfText(TagLib::ASF::Tag* tag, const char* name, const std::string& utf8) {
  if (!utf8.empty()) tag->setAttribute(name, TagLib::ASF::Attribute(FromUtf8(utf8)));
}

bool WriteAsf(TagLib::File& file, const TagFields& fields) {
  auto& asf = static_cast<TagLib::ASF::File&>(file);
  TagLib::ASF::Tag* tag = asf.tag();
  // Title and Author live in the content description, the rest in attributes.
  tag->setTitle(FromUtf8(TagFieldValue(fields, "TITLE")));
  tag->setArtist(FromUtf8(TagFieldValue(fields, "ARTIST")));
  SetAsfText(tag, "WM/AlbumTitle", TagFieldValue(fields, "ALBUM"));
  const int number = FromUtf8(TagFieldValue(fields, "TRACKNUMBER")).toInt();
  if (number > 0) tag->setAttribute("WM/TrackNumber", TagLib::ASF::Attribute(unsigned(number)));
  SetAsfText(tag, "WM/Year", TagFieldValue(fields, "DATE"));
  SetAsfText(tag, "WM/Genre", TagFieldValue(fields, "GENRE"));
  return asf.save();
}

}  // namespace

TagFileResult ReadEditableTags(const char* path, EditableTags* tags) {
  if (!path || !tags) return TagFileResult::kNotAudio;
  const TagLayout layout = TagLayoutForFileName(path);
  if (layout == TagLayout::kNone) return TagFileResult::kNotAudio;
  {
    // TagLib cannot say why a file does not open: a file another program
    // keeps to itself is told apart from one that is not audio.
    FileHandle probe(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!probe) return ResultForError(GetLastError());
  }
  OpenTagFile open = Open(layout, path, true);
  if (!open.file) return TagFileResult::kNotAudio;
  const TagLib::Tag* tag = open.file->tag();
  tags->title = Ansi(tag->title().toWString());
  tags->artist = Ansi(tag->artist().toWString());
  tags->album = Ansi(tag->album().toWString());
  tags->year = tag->year() > 0 ? std::to_string(tag->year()) : "";
  return TagFileResult::kDone;
}

TagFileResult SaveEditedTags(const char* path, const EditableTags& before, const EditableTags& after) {
  if (before == after) return TagFileResult::kDone;
  if (!ParseTagYear(after.year)) return TagFileResult::kFailed;
  return SaveThroughCopy(
      path, [&](TagLayout layout, TagLib::File& file) { return ApplyEdits(layout, file, before, after); },
      [&](const TagLib::Tag& tag) {
        return (before.title == after.title || tag.title() == FromAnsi(after.title)) &&
               (before.artist == after.artist || tag.artist() == FromAnsi(after.artist)) &&
               (before.album == after.album || tag.album() == FromAnsi(after.album));
      });
}

TagFileResult WriteRipTags(const char* path, const TagFields& fields) {
  const TagLayout layout = TagLayoutForFileName(path ? path : "");
  if (layout != TagLayout::kId3 && layout != TagLayout::kAsf) return TagFileResult::kNotAudio;
  return SaveThroughCopy(
      path,
      [&](TagLayout kind, TagLib::File& file) {
        return kind == TagLayout::kId3 ? WriteId3(file, fields) : WriteAsf(file, fields);
      },
      [&](const TagLib::Tag& tag) { return tag.title() == FromUtf8(TagFieldValue(fields, "TITLE")); });
}
