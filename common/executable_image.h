// Whether a file holds a whole Windows program image, not just its first
// bytes: a download cut short still starts with valid headers, and putting
// it in place of a working program would leave none that runs.
#pragma once

#include <cstddef>

enum class ImageVerdict {
  kWhole,
  kNoDosHeader,          // too short for a DOS header, or no "MZ"
  kNoPeSignature,        // the new-header offset points at no "PE\0\0" in the file
  kFileHeaderCut,        // the file header runs past the end of the file
  kOptionalHeaderCut,    // the optional header runs past the end, or is too short
  kUnknownOptionalKind,  // neither a 32-bit nor a 64-bit optional header
  kNoSections,
  kSectionTableCut,      // the section table runs past the end of the file
  kHeadersCut,           // the headers' declared size runs past the end of the file
  kBadSizeOfImage,       // zero, or smaller than the headers
  kSectionDataCut,       // a section's raw data runs past the end of the file
  kSectionOutsideImage,  // a section lies (partly) beyond the size of image
};

// Checks the complete bytes of a file.
ImageVerdict CheckExecutableImage(const unsigned char* data, std::size_t size);
