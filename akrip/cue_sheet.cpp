#include "akrip/cue_sheet.h"

#include <cctype>

namespace akrip {
namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kSectorsPerSecond = 75;

// Splits a line into words; a word in double quotes may hold blanks.
bool SplitWords(const std::string& line, std::vector<std::string>* words) {
  words->clear();
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i >= line.size()) break;
    std::string word;
    if (line[i] == '"') {
      size_t close = line.find('"', i + 1);
      if (close == std::string::npos) return false;
      word = line.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) word += line[i++];
    }
    words->push_back(word);
  }
  return true;
}

// The words from `first` to `last` (not included) joined by one blank: an
// unquoted name or text that holds blanks.
std::string JoinWords(const std::vector<std::string>& words, size_t first, size_t last) {
  std::string joined;
  for (size_t i = first; i < last; ++i) {
    if (i > first) joined += ' ';
    joined += words[i];
  }
  return joined;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool ParseNumber(const std::string& text, int max_digits, int* value) {
  if (text.empty() || static_cast<int>(text.size()) > max_digits) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

bool IsRemark(const std::string& line) {
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string::npos || line.size() - i < 3) return false;
  if (Upper(line.substr(i, 3)) != "REM") return false;
  return line.size() == i + 3 || std::isspace(static_cast<unsigned char>(line[i + 3]));
}

class Parser {
 public:
  explicit Parser(CueSheet* sheet) : sheet_(sheet) {}

  CueResult Line(int number, const std::vector<std::string>& words);
  CueResult SessionLine(int number, const std::vector<std::string>& words);
  CueResult Finish();

 private:
  CueResult Fail(const char* reason) const { return {false, line_, reason}; }
  CueResult FileLine(const std::vector<std::string>& words);
  CueResult TrackLine(const std::vector<std::string>& words);
  CueResult IndexLine(const std::vector<std::string>& words);
  CueResult FlagsLine(const std::vector<std::string>& words);
  CueResult GapLine(const std::vector<std::string>& words, bool pregap);
  CueResult TextLine(const std::vector<std::string>& words, bool title);
  CueResult CloseTrack();

  CueSheet* sheet_;
  int line_ = 0;
  int track_line_ = 0;
  int file_line_ = 0;
  bool file_has_index_ = true;
  bool have_track_ = false;
  bool postgap_seen_ = false;
  uint32_t last_position_in_file_ = 0;
  int session_ = 1;
  int session_line_ = 0;
  bool session_has_track_ = false;
};

const CueResult kOk = {true, 0, ""};

CueResult Parser::Line(int number, const std::vector<std::string>& words) {
  line_ = number;
  if (words.empty()) return kOk;
  const std::string command = Upper(words[0]);
  if (command == "FILE") return FileLine(words);
  if (command == "TRACK") return TrackLine(words);
  if (command == "INDEX") return IndexLine(words);
  if (command == "FLAGS") return FlagsLine(words);
  if (command == "PREGAP") return GapLine(words, true);
  if (command == "POSTGAP") return GapLine(words, false);
  if (command == "TITLE") return TextLine(words, true);
  if (command == "PERFORMER") return TextLine(words, false);
  if (command == "REM" || command == "SONGWRITER" || command == "CATALOG" || command == "ISRC" ||
      command == "CDTEXTFILE") {
    return kOk;  // descriptive only: nothing of it reaches the table of contents
  }
  return Fail("unknown command");
}

CueResult Parser::SessionLine(int number, const std::vector<std::string>& words) {
  line_ = number;
  int session = 0;
  if (words.size() != 3 || !ParseNumber(words[2], 2, &session)) return Fail("SESSION needs a number");
  const bool first = sheet_->tracks.empty() && session_line_ == 0;
  if (session != (first ? 1 : session_ + 1)) return Fail("session numbers must rise by one from 01");
  if (!first && !session_has_track_) return {false, session_line_, "session without a track"};
  CueResult closed = CloseTrack();
  if (!closed.ok) return closed;
  have_track_ = false;
  session_ = session;
  session_line_ = line_;
  session_has_track_ = false;
  return kOk;
}

CueResult Parser::FileLine(const std::vector<std::string>& words) {
  if (words.size() < 3 || words[1].empty()) return Fail("FILE needs a name and a type");
  const std::string type = Upper(words.back());
  CueFile file{JoinWords(words, 1, words.size() - 1), CueFileType::kBinary, line_};
  if (type == "BINARY") {
    file.type = CueFileType::kBinary;
  } else if (type == "MOTOROLA") {
    file.type = CueFileType::kMotorola;
  } else if (type == "WAVE" || type == "FLAC") {
    file.type = CueFileType::kAudioFile;
  } else {
    return Fail("unsupported file type (BINARY, MOTOROLA, WAVE and FLAC are read)");
  }
  if (!file_has_index_) return {false, file_line_, "FILE without INDEX"};
  sheet_->files.push_back(file);
  file_line_ = line_;
  file_has_index_ = false;
  last_position_in_file_ = 0;
  return kOk;
}

CueResult Parser::CloseTrack() {
  if (!have_track_) return kOk;
  const CueTrack& track = sheet_->tracks.back();
  bool has_start = false;
  for (const CueIndex& index : track.indexes) has_start |= index.number == 1;
  if (!has_start) return {false, track_line_, "track has no INDEX 01"};
  return kOk;
}

CueResult Parser::TrackLine(const std::vector<std::string>& words) {
  if (sheet_->files.empty()) return Fail("TRACK before any FILE");
  if (words.size() != 3) return Fail("TRACK needs a number and a mode");
  int number = 0;
  if (!ParseNumber(words[1], 2, &number) || number < 1 || number > 99) {
    return Fail("track number out of range");
  }
  CueResult closed = CloseTrack();
  if (!closed.ok) return closed;
  if (!sheet_->tracks.empty() && number != sheet_->tracks.back().number + 1) {
    return Fail("track numbers must rise by one");
  }
  const std::string mode = Upper(words[2]);
  CueTrack track{number, TrackMode::kAudio, 0, 0, 0, {}, session_, "", "", line_};
  if (mode == "AUDIO") {
    track.mode = TrackMode::kAudio;
  } else if (mode == "MODE1/2352") {
    track.mode = TrackMode::kMode1Raw;
  } else if (mode == "MODE2/2352") {
    track.mode = TrackMode::kMode2Raw;
  } else {
    return Fail("unsupported track mode");
  }
  sheet_->tracks.push_back(track);
  have_track_ = true;
  session_has_track_ = true;
  postgap_seen_ = false;
  track_line_ = line_;
  return kOk;
}

CueResult Parser::IndexLine(const std::vector<std::string>& words) {
  if (!have_track_) return Fail("INDEX outside a track");
  if (words.size() != 3) return Fail("INDEX needs a number and a time");
  if (postgap_seen_) return Fail("INDEX after POSTGAP");
  int number = 0;
  if (!ParseNumber(words[1], 2, &number)) return Fail("index number out of range");
  uint32_t position = 0;
  if (!ParseCueTime(words[2], &position)) return Fail("bad time");
  CueTrack& track = sheet_->tracks.back();
  const int expected = track.indexes.empty() ? (number == 0 ? 0 : 1) : track.indexes.back().number + 1;
  if (number != expected) return Fail("index numbers must rise by one");
  if (file_has_index_ && position < last_position_in_file_) return Fail("index times must not go back");
  track.indexes.push_back({number, static_cast<int>(sheet_->files.size()) - 1, position});
  file_has_index_ = true;
  last_position_in_file_ = position;
  return kOk;
}

CueResult Parser::FlagsLine(const std::vector<std::string>& words) {
  if (!have_track_) return Fail("FLAGS outside a track");
  if (!sheet_->tracks.back().indexes.empty()) return Fail("FLAGS after INDEX");
  uint8_t bits = 0;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string flag = Upper(words[i]);
    if (flag == "PRE") {
      bits |= 0x01;
    } else if (flag == "DCP") {
      bits |= 0x02;
    } else if (flag == "4CH") {
      bits |= 0x08;
    } else if (flag != "SCMS") {  // serial copy management has no TOC bit
      return Fail("unknown flag");
    }
  }
  sheet_->tracks.back().flag_bits = bits;
  return kOk;
}

CueResult Parser::GapLine(const std::vector<std::string>& words, bool pregap) {
  if (!have_track_) return Fail(pregap ? "PREGAP outside a track" : "POSTGAP outside a track");
  if (words.size() != 2) return Fail("gap needs a time");
  uint32_t sectors = 0;
  if (!ParseCueTime(words[1], &sectors)) return Fail("bad time");
  CueTrack& track = sheet_->tracks.back();
  if (pregap) {
    if (!track.indexes.empty()) return Fail("PREGAP after INDEX");
    track.pregap = sectors;
  } else {
    if (track.indexes.empty()) return Fail("POSTGAP before INDEX");
    track.postgap = sectors;
    postgap_seen_ = true;
  }
  return kOk;
}

CueResult Parser::TextLine(const std::vector<std::string>& words, bool title) {
  if (words.size() < 2) return Fail(title ? "TITLE needs a text" : "PERFORMER needs a text");
  std::string text = JoinWords(words, 1, words.size());
  if (sheet_->tracks.empty()) {
    (title ? sheet_->title : sheet_->performer) = std::move(text);
  } else if (have_track_) {
    CueTrack& track = sheet_->tracks.back();
    (title ? track.title : track.performer) = std::move(text);
  }
  return kOk;
}

CueResult Parser::Finish() {
  CueResult closed = CloseTrack();
  if (!closed.ok) return closed;
  if (!file_has_index_) return {false, file_line_, "FILE without INDEX"};
  if (sheet_->tracks.empty()) return {false, 0, "no track in the sheet"};
  if (!session_has_track_) return {false, session_line_, "session without a track"};
  return kOk;
}

}  // namespace

bool ParseCueTime(const std::string& text, uint32_t* sectors) {
  size_t first = text.find(':');
  size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  if (second == std::string::npos) return false;
  int minutes = 0, seconds = 0, frames = 0;
  if (!ParseNumber(text.substr(0, first), 3, &minutes) ||
      !ParseNumber(text.substr(first + 1, second - first - 1), 2, &seconds) ||
      !ParseNumber(text.substr(second + 1), 2, &frames)) {
    return false;
  }
  if (seconds >= kSecondsPerMinute || frames >= kSectorsPerSecond) return false;
  *sectors = static_cast<uint32_t>((minutes * kSecondsPerMinute + seconds) * kSectorsPerSecond + frames);
  return true;
}

bool IsUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int follow;
    uint32_t code;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      follow = 1;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      follow = 2;
      code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      follow = 3;
      code = lead & 0x07u;
    } else {
      return false;
    }
    if (text.size() - i <= static_cast<size_t>(follow)) return false;
    for (int k = 1; k <= follow; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3Fu);
    }
    const uint32_t smallest = follow == 2 ? 0x800u : follow == 3 ? 0x10000u : 0x80u;
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += static_cast<size_t>(follow) + 1;
  }
  return true;
}

CueResult ParseCueSheet(const std::string& text, CueSheet* sheet) {
  *sheet = CueSheet();
  Parser parser(sheet);
  size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  // Without a byte-order mark, a sheet that is not valid UTF-8 was written in
  // the ANSI code page, as older programs do.
  sheet->utf8 = start == 3 || IsUtf8(text);
  int line_number = 0;
  std::vector<std::string> words;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    ++line_number;
    if (IsRemark(line)) {  // a remark may hold anything, even a lone quote
      if (SplitWords(line, &words) && words.size() >= 2 && Upper(words[1]) == "SESSION") {
        CueResult result = parser.SessionLine(line_number, words);
        if (!result.ok) return result;
      }
      continue;
    }
    if (!SplitWords(line, &words)) return {false, line_number, "unterminated quoted text"};
    CueResult result = parser.Line(line_number, words);
    if (!result.ok) return result;
  }
  return parser.Finish();
}

}  // namespace akrip
