// Track lengths of multi-session discs: the last track of a session ends at
// the session's lead-out, never later than the TOC says.
#include "cd/session_ends.h"

#include <gtest/gtest.h>

namespace {

TrackTable EnhancedCdTable() {
  TrackTable table{};
  table.count = 3;
  table.entries[0] = {1, 0, 1000};
  table.entries[1] = {2, 1000, 2000 + cdda::kSessionGapSectors};  // runs on to the data track
  table.entries[2] = {3, 5000, 100};                              // an audio track of a third session
  return table;
}

akrip::SessionList Sessions(std::initializer_list<akrip::SessionEntry> entries) {
  akrip::SessionList list{};
  for (const akrip::SessionEntry& e : entries) list.sessions[list.count++] = e;
  return list;
}

TEST(SessionEnds, LastTrackOfEachSessionEndsAtItsLeadOut) {
  TrackTable table = EnhancedCdTable();
  EndTracksAtSessionLeadOuts(Sessions({{1, 1, 2, 0, 3000}, {2, 3, 3, 0, 5090}}), &table);
  EXPECT_EQ(table.entries[0].length, 1000);
  EXPECT_EQ(table.entries[1].length, 2000);
  EXPECT_EQ(table.entries[2].length, 90);
}

TEST(SessionEnds, ListsThatDoNotFitLeaveTheTableAlone) {
  const TrackTable original = EnhancedCdTable();
  for (const akrip::SessionList& sessions : {Sessions({{1, 1, 3, 0, 5100}}),   // one session: the TOC's lead-out
                                             Sessions({{1, 1, 2, 0, 1000}}),   // lead-out at the track's start
                                             Sessions({{1, 1, 2, 0, 900}}),    // before it
                                             Sessions({{1, 1, 2, 0, 99999}}),  // past the next track: never lengthened
                                             Sessions({{1, 1, 9, 0, 1500}})}) {  // names a track the table lacks
    TrackTable table = original;
    EndTracksAtSessionLeadOuts(sessions, &table);
    for (int i = 0; i < table.count; ++i) EXPECT_EQ(table.entries[i].length, original.entries[i].length) << i;
  }
  TrackTable table = original;
  akrip::SessionList too_many = Sessions({{1, 1, 2, 0, 3000}});
  too_many.count = 255;  // read no further than the list holds
  EndTracksAtSessionLeadOuts(too_many, &table);
  EXPECT_EQ(table.entries[1].length, 2000);
}

}  // namespace
