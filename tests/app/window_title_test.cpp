#include "app/window_title.h"

#include <gtest/gtest.h>

namespace {

TEST(MainWindowTitle, AlbumAndArtistEachOnlyWhenSet) {
  EXPECT_EQ(MainWindowTitle("Corvale", "Unknown Title", "Unknown Artist"), "Corvale - Unknown Title (Unknown Artist)");
  EXPECT_EQ(MainWindowTitle("Corvale", nullptr, "A"), "Corvale -  (A)");
  EXPECT_EQ(MainWindowTitle("Corvale", "T", nullptr), "Corvale - T");
  EXPECT_EQ(MainWindowTitle("Corvale", nullptr, nullptr), "Corvale - ");
}

TEST(SplitDiscTitle, OneBlankAroundTheFirstSlashGoes) {
  DiscTitleParts parts = SplitDiscTitle("Artist / Album");
  EXPECT_EQ(parts.artist, "Artist");
  EXPECT_EQ(parts.album_title, "Album");
  parts = SplitDiscTitle("Two  /  Blanks");
  EXPECT_EQ(parts.artist, "Two ");
  EXPECT_EQ(parts.album_title, " Blanks");
  parts = SplitDiscTitle("A /B");
  EXPECT_EQ(parts.artist, "A");
  EXPECT_EQ(parts.album_title, "B");
}

TEST(SplitDiscTitle, ASlashInsideTheArtistStays) {
  DiscTitleParts parts = SplitDiscTitle("AC/DC / Back  In Black");
  EXPECT_EQ(parts.artist, "AC/DC");
  EXPECT_EQ(parts.album_title, "Back  In Black");
}

TEST(SplitDiscTitle, WithoutSlashBothAreTheWholeText) {
  DiscTitleParts parts = SplitDiscTitle("Greatest Hits");
  EXPECT_EQ(parts.artist, "Greatest Hits");
  EXPECT_EQ(parts.album_title, "Greatest Hits");
  parts = SplitDiscTitle("/");
  EXPECT_EQ(parts.artist, "");
  EXPECT_EQ(parts.album_title, "");
}

}  // namespace
