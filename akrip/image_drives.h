// Disc images as drives of the library's list, whether named in the
// environment or opened while the program runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "akrip/library.h"
#include "akrip/virtual_drive.h"

namespace akrip {

// The INQUIRY data every virtual drive reports.
std::array<uint8_t, 52> VirtualInquiry();

// Loads the sheet and its files' headers and makes the drive that plays it,
// named `name_prefix` and the sheet's file name.  A speed above 0 holds its
// reads to the pace of a drive that fast.
ImageResult MakeImageDrive(const std::string& cue_path, const std::string& name_prefix, double speed,
                           DriveEntry* entry);

// Whether two paths name the same sheet as Windows sees names: letters in
// either case, "/" and "\" alike.
bool SameImagePath(const std::string& a, const std::string& b);

}  // namespace akrip
