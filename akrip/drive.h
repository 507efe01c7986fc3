// One opened drive, real or virtual, as the library's handles hold it.
#pragma once

#include <cstdint>

#include "akrip/akrip.h"

namespace akrip {

class Drive {
 public:
  virtual ~Drive() = default;

  // Fills the READ TOC format 0 response.
  virtual LibError ReadToc(Toc* toc) = 0;

  // Reads count CD-DA sectors from lba into out (room for count sectors).
  // *delivered receives the bytes placed at out, also on failure (what could
  // be read before the fault).
  virtual LibError ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) = 0;

  // The disc's sessions.  A drive that knows nothing of sessions reports the
  // whole disc as one, ending at the TOC's lead-out.
  virtual LibError ReadSessions(SessionList* sessions);
};

// One session holding every track of a checked TOC record.
void SingleSessionFromToc(const Toc& toc, SessionList* sessions);

// The LBA of a TOC descriptor.
uint32_t DescriptorLba(const TocDescriptor& descriptor);

}  // namespace akrip
