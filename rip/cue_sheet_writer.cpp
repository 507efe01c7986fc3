#include "rip/cue_sheet_writer.h"

#include <cstdio>

#include "akrip/cdda.h"

namespace {

// A quote would end the text early: players read it as the string's end.
std::string Quoted(std::string text) {
  for (char& c : text) {
    if (c == '"') c = '\'';
    if (c == '\r' || c == '\n') c = ' ';
  }
  return "\"" + text + "\"";
}

std::string Msf(int32_t sectors) {
  char text[16];
  const int32_t seconds = sectors / cdda::kSectorsPerSecond;
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(seconds / 60), int(seconds % 60),
                int(sectors % cdda::kSectorsPerSecond));
  return text;
}

bool EndsWithNoCase(const std::string& text, const char* ending) {
  const std::string end(ending);
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    char c = text[text.size() - end.size() + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != end[i]) return false;
  }
  return true;
}

}  // namespace

const char* CueFileType(const std::string& file) { return EndsWithNoCase(file, ".mp3") ? "MP3" : "WAVE"; }

std::string FormatCueSheet(const CueSheetDisc& disc, const std::vector<CueSheetTrack>& tracks) {
  std::string sheet;
  const auto line = [&sheet](const std::string& text) { sheet += text + "\r\n"; };
  if (!disc.genre.empty()) line("REM GENRE " + Quoted(disc.genre));
  if (!disc.year.empty()) line("REM DATE " + disc.year);
  line("REM DISCID " + disc.disc_id);
  line("REM COMMENT " + Quoted(disc.comment));
  line("PERFORMER " + Quoted(disc.performer));
  line("TITLE " + Quoted(disc.title));
  for (size_t i = 0; i < tracks.size(); ++i) {
    const CueSheetTrack& track = tracks[i];
    char number[8];
    std::snprintf(number, sizeof number, "%02d", track.number);
    line("FILE " + Quoted(track.file) + " " + CueFileType(track.file));
    line(std::string("  TRACK ") + number + " AUDIO");
    line("    TITLE " + Quoted(track.title));
    line("    PERFORMER " + Quoted(track.performer));
    // The files begin at each track's INDEX 01; only the gap before the
    // disc's first track is written, as silence no file holds.  A rip that
    // starts later on the disc has no such gap.
    if (track.number == 1 && track.start > 0) line("    PREGAP " + Msf(track.start));
    line("    INDEX 01 00:00:00");
  }
  return sheet;
}
