#include "app/window_title.h"

#include <cstring>

std::string MainWindowTitle(const char* product, const char* album_title, const char* artist) {
  std::string title = std::string(product ? product : "") + " - ";
  if (album_title) title += album_title;
  if (artist) {
    title += " (";
    title += artist;
    title += ")";
  }
  return title;
}

DiscTitleParts SplitDiscTitle(const char* disc_title) {
  const std::string text = disc_title ? disc_title : "";
  // "AC/DC / Back in Black": the slash between blanks separates, when there is one.
  const size_t spaced = text.find(" / ");
  if (spaced != std::string::npos) return {text.substr(0, spaced), text.substr(spaced + 3)};
  const size_t slash = text.find('/');
  if (slash == std::string::npos) return {text, text};
  DiscTitleParts parts{text.substr(0, slash), text.substr(slash + 1)};
  if (!parts.artist.empty() && parts.artist.back() == ' ') parts.artist.pop_back();
  if (!parts.album_title.empty() && parts.album_title.front() == ' ') parts.album_title.erase(0, 1);
  return parts;
}
