#include "akrip/disc_layout.h"

#include <cstring>

#include "akrip/cdda.h"

namespace akrip {
namespace {

constexpr uint8_t kAdrPosition = 0x10;  // ADR 1: the Q channel holds a position

struct FilePoint {
  int file;
  uint64_t sector;
};

class ExtentWriter {
 public:
  explicit ExtentWriter(DiscLayout* layout) : layout_(layout) {}

  void Silence(uint32_t count) { Blank(count, kSilenceExtent); }
  void BetweenSessions() { Blank(cdda::kSessionGapSectors, kBetweenSessionsExtent); }

  // Sectors from one point of the file sequence up to (not including) another.
  void Files(FilePoint from, FilePoint to, const std::vector<uint64_t>& sectors) {
    for (int f = from.file; f <= to.file; ++f) {
      uint64_t begin = f == from.file ? from.sector : 0;
      uint64_t end = f == to.file ? to.sector : sectors[static_cast<size_t>(f)];
      if (end > begin) Add(f, begin, static_cast<uint32_t>(end - begin));
    }
  }

  uint64_t disc() const { return disc_; }

 private:
  void Blank(uint32_t count, int kind) {
    if (count == 0) return;
    layout_->extents.push_back({static_cast<uint32_t>(disc_), count, kind, 0});
    disc_ += count;
  }

  void Add(int file, uint64_t first, uint32_t count) {
    std::vector<DiscExtent>& extents = layout_->extents;
    if (!extents.empty()) {
      DiscExtent& last = extents.back();
      if (last.file == file && last.file_sector + last.count == first) {
        last.count += count;
        disc_ += count;
        return;
      }
    }
    extents.push_back({static_cast<uint32_t>(disc_), count, file, first});
    disc_ += count;
  }

  DiscLayout* layout_;
  uint64_t disc_ = 0;
};

bool DiscAddressOf(const DiscLayout& layout, int file, uint64_t sector, uint32_t* lba) {
  for (const DiscExtent& e : layout.extents) {
    if (e.file == file && sector >= e.file_sector && sector < e.file_sector + e.count) {
      *lba = e.disc_start + static_cast<uint32_t>(sector - e.file_sector);
      return true;
    }
  }
  return false;
}

}  // namespace

LayoutResult LayOutDisc(const CueSheet& sheet, const std::vector<uint64_t>& file_bytes, DiscLayout* layout) {
  *layout = DiscLayout();
  if (file_bytes.size() != sheet.files.size() || sheet.files.empty() || sheet.tracks.empty()) {
    return {false, "sheet and files do not match"};
  }
  std::vector<uint64_t> sectors;
  for (size_t f = 0; f < file_bytes.size(); ++f) {
    const uint64_t bytes = file_bytes[f];
    const int line = sheet.files[f].line;
    if (bytes % cdda::kSectorBytes != 0) return {false, "image file is not a whole number of sectors", line};
    if (bytes / cdda::kSectorBytes > kMaxDiscSectors) return {false, "disc is longer than 99:59:74", line};
    sectors.push_back(bytes / cdda::kSectorBytes);
  }
  for (const CueTrack& track : sheet.tracks) {
    for (const CueIndex& index : track.indexes) {
      if (index.file < 0 || static_cast<size_t>(index.file) >= sectors.size()) {
        return {false, "index names no file of the sheet", track.line};
      }
      if (index.position >= sectors[static_cast<size_t>(index.file)]) {
        return {false, "index lies beyond the end of its file", track.line};
      }
    }
  }

  ExtentWriter writer(layout);
  const int last_file = static_cast<int>(sectors.size()) - 1;
  const FilePoint disc_end{last_file, sectors.back()};
  auto start_of = [&](size_t t) {
    const CueIndex& first = sheet.tracks[t].indexes.front();
    return FilePoint{first.file, first.position};
  };
  writer.Files(FilePoint{0, 0}, start_of(0), sectors);
  for (size_t t = 0; t < sheet.tracks.size(); ++t) {
    const CueTrack& track = sheet.tracks[t];
    if (t == 0 || track.session != sheet.tracks[t - 1].session) {
      if (t > 0) {
        layout->sessions.back().lead_out = static_cast<uint32_t>(writer.disc());
        writer.BetweenSessions();
      }
      layout->sessions.push_back({track.session, track.number, track.number, 0});
    }
    layout->sessions.back().last_track = track.number;
    writer.Silence(sheet.tracks[t].pregap);
    writer.Files(start_of(t), t + 1 < sheet.tracks.size() ? start_of(t + 1) : disc_end, sectors);
    writer.Silence(sheet.tracks[t].postgap);
    if (writer.disc() > kMaxDiscSectors) return {false, "disc is longer than 99:59:74", track.line};
  }
  layout->lead_out = static_cast<uint32_t>(writer.disc());
  layout->sessions.back().lead_out = layout->lead_out;

  int last_line = 0;
  for (const CueTrack& track : sheet.tracks) {
    LaidTrack laid{track.number, 0, track.mode != TrackMode::kAudio, 0};
    laid.adr_control = static_cast<uint8_t>(kAdrPosition | track.flag_bits | (laid.data ? cdda::kControlDataTrack : 0));
    for (const CueIndex& index : track.indexes) {
      if (index.number == 1 && !DiscAddressOf(*layout, index.file, index.position, &laid.start)) {
        return {false, "index lies beyond the end of its file", track.line};
      }
    }
    // The track before this one ends where this one starts.
    if (!layout->tracks.empty() && laid.start <= layout->tracks.back().start) {
      return {false, "track has no sectors", last_line};
    }
    layout->tracks.push_back(laid);
    last_line = track.line;
  }
  if (layout->lead_out <= layout->tracks.back().start) return {false, "track has no sectors", last_line};
  return {true, ""};
}

void MakeToc(const DiscLayout& layout, Toc* toc) {
  std::memset(toc, 0, sizeof *toc);
  auto put = [](TocDescriptor* d, uint8_t number, uint8_t adr_control, uint32_t lba) {
    d->track_number = number;
    d->adr_control = adr_control;
    d->address_be[0] = static_cast<uint8_t>(lba >> 24);
    d->address_be[1] = static_cast<uint8_t>(lba >> 16);
    d->address_be[2] = static_cast<uint8_t>(lba >> 8);
    d->address_be[3] = static_cast<uint8_t>(lba);
  };
  const size_t count = layout.tracks.size();
  for (size_t i = 0; i < count; ++i) {
    const LaidTrack& t = layout.tracks[i];
    put(&toc->descriptors[i], static_cast<uint8_t>(t.number), t.adr_control, t.start);
  }
  // The lead-out carries the control bits of the last track, as drives report it.
  put(&toc->descriptors[count], cdda::kLeadOutTrackNumber, layout.tracks.back().adr_control, layout.lead_out);
  const uint32_t data_length = 2 + 8 * static_cast<uint32_t>(count + 1);
  toc->data_length_be[0] = static_cast<uint8_t>(data_length >> 8);
  toc->data_length_be[1] = static_cast<uint8_t>(data_length);
  toc->first_track = static_cast<uint8_t>(layout.tracks.front().number);
  toc->last_track = static_cast<uint8_t>(layout.tracks.back().number);
}

void MakeSessionList(const DiscLayout& layout, SessionList* sessions) {
  std::memset(sessions, 0, sizeof *sessions);
  for (const LaidSession& session : layout.sessions) {
    if (sessions->count >= kMaxSessions) break;
    SessionEntry& entry = sessions->sessions[sessions->count++];
    entry.number = static_cast<uint8_t>(session.number);
    entry.first_track = static_cast<uint8_t>(session.first_track);
    entry.last_track = static_cast<uint8_t>(session.last_track);
    entry.lead_out = session.lead_out;
  }
}

const LaidTrack& TrackOfSector(const DiscLayout& layout, uint32_t lba) {
  size_t found = 0;
  for (size_t i = 1; i < layout.tracks.size(); ++i) {
    if (layout.tracks[i].start <= lba) found = i;
  }
  return layout.tracks[found];
}

}  // namespace akrip
