// Texts the main window derives from the album: its title bar and the split
// of a CDDB disc title into artist and album title.
#pragma once

#include <string>

// "<product> - <album>( (<artist>))": the album and the artist each only when set.
std::string MainWindowTitle(const char* product, const char* album_title, const char* artist);

struct DiscTitleParts {
  std::string artist;
  std::string album_title;
};

// "Artist / Album": split at the first " / ", or without one at the first
// "/" (less one blank on each side of it).  Without a "/" both are the whole
// text.
DiscTitleParts SplitDiscTitle(const char* disc_title);
