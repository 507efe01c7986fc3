// A drive made from a disc image: a CUE sheet and its raw, WAVE or FLAC files.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "akrip/disc_layout.h"
#include "akrip/drive.h"
#include "akrip/image_file.h"
#include "akrip/read_pacer.h"

namespace akrip {

// A parsed and laid-out image: what listing the drives needs, before any open.
struct DiscImage {
  std::string cue_path;
  std::vector<ImageFileSource> files;  // paths resolved against the sheet's folder
  DiscLayout layout;
  std::string title;  // the sheet's TITLE and PERFORMER, for the disc and each track
  std::string performer;
  std::vector<std::string> track_titles;
  std::vector<std::string> track_performers;
  bool texts_utf8 = true;  // otherwise the texts are in the ANSI code page
};

struct ImageResult {
  bool ok;
  std::string reason;  // fixed text, with the sheet's line number when it has one
};

// Reads the sheet, resolves its FILE names, reads the headers of its WAVE and
// FLAC files and checks the files' sizes.
ImageResult LoadDiscImage(const std::string& cue_path, DiscImage* image);

// A FILE name resolved against the folder of the sheet ("\" and "/" both separate).
std::string ResolveImagePath(const std::string& cue_path, const std::string& name);

// The file name part of a path.
std::string BaseName(const std::string& path);

class VirtualDrive : public Drive {
 public:
  // Opens every file of the image; null (with *error set) when one cannot be
  // opened.  A speed above 0 holds reads to the pace of a drive that fast.
  static std::unique_ptr<VirtualDrive> Open(const DiscImage& image, LibError* error, double speed = 0);
  ~VirtualDrive() override;
  VirtualDrive(const VirtualDrive&) = delete;
  VirtualDrive& operator=(const VirtualDrive&) = delete;

  LibError ReadToc(Toc* toc) override;
  LibError ReadSessions(SessionList* sessions) override;
  // Sectors of a data track, and the lead-out and lead-in between sessions,
  // are refused with kErrIllegalRequest, as a drive refuses a CD-DA read of
  // a data sector or of sectors no track holds; nothing is delivered then.
  LibError ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) override;

 private:
  VirtualDrive(const DiscLayout& layout, double speed) : layout_(layout), pacer_(speed) {}

  DiscLayout layout_;
  ReadPacer pacer_;
  std::vector<std::unique_ptr<ImageFile>> files_;
};

}  // namespace akrip
