// The tag fields made of what is known of a track: which fields appear, in
// which order, and what happens to texts a record or the user left blank.
#include "rip/track_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const TagFields& fields) {
  std::vector<std::string> lines;
  for (const TagField& field : fields) lines.push_back(field.name + "=" + field.value);
  return lines;
}

TrackTagTexts FullTrack() {
  TrackTagTexts texts;
  texts.title = "Rising";
  texts.artist = "Corvale Players";
  texts.album = "Demo Album";
  texts.year = "1998";
  texts.genre = "Rock";
  texts.disc_id = "3a05d704";
  texts.number = 2;
  texts.total = 5;
  return texts;
}

TEST(VorbisCommentFields, KnownTextsGiveTheirFieldsInOrderAndGapsAreLeftOut) {
  const struct {
    const char* what;
    void (*change)(TrackTagTexts*);
    std::vector<std::string> expected;
  } cases[] = {
      {"everything known",
       [](TrackTagTexts*) {},
       {"TITLE=Rising", "ARTIST=Corvale Players", "ALBUM=Demo Album", "TRACKNUMBER=2", "TRACKTOTAL=5", "DATE=1998",
        "GENRE=Rock", "CDDB=3a05d704"}},
      {"no year, genre or id (typed titles, no lookup)",
       [](TrackTagTexts* t) {
         t->year.clear();
         t->genre = "  ";
         t->disc_id.clear();
       },
       {"TITLE=Rising", "ARTIST=Corvale Players", "ALBUM=Demo Album", "TRACKNUMBER=2", "TRACKTOTAL=5"}},
      {"blanks around values go, blanks inside stay",
       [](TrackTagTexts* t) {
         t->title = " \tTwo  words ";
         t->year = " 1998 ";
       },
       {"TITLE=Two  words", "ARTIST=Corvale Players", "ALBUM=Demo Album", "TRACKNUMBER=2", "TRACKTOTAL=5", "DATE=1998",
        "GENRE=Rock", "CDDB=3a05d704"}},
      {"no numbers",
       [](TrackTagTexts* t) { t->number = t->total = 0; },
       {"TITLE=Rising", "ARTIST=Corvale Players", "ALBUM=Demo Album", "DATE=1998", "GENRE=Rock", "CDDB=3a05d704"}},
      {"an id that is not 8 hex digits",
       [](TrackTagTexts* t) { t->disc_id = "3a05d7"; },
       {"TITLE=Rising", "ARTIST=Corvale Players", "ALBUM=Demo Album", "TRACKNUMBER=2", "TRACKTOTAL=5", "DATE=1998",
        "GENRE=Rock"}},
      {"an id with a stray letter",
       [](TrackTagTexts* t) { t->disc_id = "3a05d70g"; },
       {"TITLE=Rising", "ARTIST=Corvale Players", "ALBUM=Demo Album", "TRACKNUMBER=2", "TRACKTOTAL=5", "DATE=1998",
        "GENRE=Rock"}},
      {"an equals sign and non-ASCII bytes pass as they are",
       [](TrackTagTexts* t) {
         t->title = "a=b";
         t->artist = "Caf\xc3\xa9";
       },
       {"TITLE=a=b", "ARTIST=Caf\xc3\xa9", "ALBUM=Demo Album", "TRACKNUMBER=2", "TRACKTOTAL=5", "DATE=1998",
        "GENRE=Rock", "CDDB=3a05d704"}},
      {"nothing at all", [](TrackTagTexts* t) { *t = TrackTagTexts(); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TrackTagTexts texts = FullTrack();
    c.change(&texts);
    EXPECT_EQ(Lines(VorbisCommentFields(texts)), c.expected);
  }
}

}  // namespace
