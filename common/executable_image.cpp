#include "common/executable_image.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kDosHeaderBytes = 0x40;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;
constexpr std::size_t kSignatureBytes = 4;
constexpr std::size_t kFileHeaderBytes = 20;
constexpr std::size_t kSectionCountField = 2;
constexpr std::size_t kOptionalSizeField = 16;
// SizeOfImage and SizeOfHeaders sit at the same offsets in both kinds.
constexpr std::size_t kSizeOfImageField = 56;
constexpr std::size_t kSizeOfHeadersField = 60;
constexpr std::size_t kMinOptionalBytes = 64;
constexpr std::uint16_t kOptional32Magic = 0x10B;
constexpr std::uint16_t kOptional64Magic = 0x20B;
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::size_t kVirtualSizeField = 8;
constexpr std::size_t kVirtualAddressField = 12;
constexpr std::size_t kRawSizeField = 16;
constexpr std::size_t kRawPointerField = 20;

std::uint16_t Read16(const unsigned char* at) { return std::uint16_t(at[0] | at[1] << 8); }

std::uint32_t Read32(const unsigned char* at) {
  return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
}

// Every end is computed in 64 bits: the fields are 32-bit and their sums
// must not wrap into a small, harmless-looking number.
ImageVerdict CheckSection(const unsigned char* section, std::uint64_t file_size, std::uint64_t size_of_image) {
  const std::uint64_t virtual_size = Read32(section + kVirtualSizeField);
  const std::uint64_t virtual_address = Read32(section + kVirtualAddressField);
  const std::uint64_t raw_size = Read32(section + kRawSizeField);
  const std::uint64_t raw_pointer = Read32(section + kRawPointerField);
  if (raw_size != 0 && raw_pointer + raw_size > file_size) return ImageVerdict::kSectionDataCut;
  const std::uint64_t extent = virtual_size != 0 ? virtual_size : raw_size;
  if (virtual_address + extent > size_of_image) return ImageVerdict::kSectionOutsideImage;
  return ImageVerdict::kWhole;
}

}  // namespace

ImageVerdict CheckExecutableImage(const unsigned char* data, std::size_t size) {
  if (!data || size < kDosHeaderBytes || data[0] != 'M' || data[1] != 'Z') return ImageVerdict::kNoDosHeader;
  const std::uint64_t file_size = size;
  const std::uint64_t new_header = Read32(data + kNewHeaderOffsetField);
  if (new_header < kDosHeaderBytes || new_header + kSignatureBytes > file_size ||
      std::memcmp(data + new_header, "PE\0\0", kSignatureBytes) != 0) {
    return ImageVerdict::kNoPeSignature;
  }
  const std::uint64_t file_header = new_header + kSignatureBytes;
  if (file_header + kFileHeaderBytes > file_size) return ImageVerdict::kFileHeaderCut;
  const unsigned char* header = data + file_header;
  const std::uint16_t section_count = Read16(header + kSectionCountField);
  const std::uint64_t optional_size = Read16(header + kOptionalSizeField);
  const std::uint64_t optional = file_header + kFileHeaderBytes;
  if (optional_size < kMinOptionalBytes || optional + optional_size > file_size) {
    return ImageVerdict::kOptionalHeaderCut;
  }
  const unsigned char* optional_header = data + optional;
  const std::uint16_t magic = Read16(optional_header);
  if (magic != kOptional32Magic && magic != kOptional64Magic) return ImageVerdict::kUnknownOptionalKind;
  if (section_count == 0) return ImageVerdict::kNoSections;
  const std::uint64_t sections = optional + optional_size;
  if (sections + std::uint64_t(section_count) * kSectionHeaderBytes > file_size) {
    return ImageVerdict::kSectionTableCut;
  }
  const std::uint64_t size_of_headers = Read32(optional_header + kSizeOfHeadersField);
  if (size_of_headers > file_size) return ImageVerdict::kHeadersCut;
  const std::uint64_t size_of_image = Read32(optional_header + kSizeOfImageField);
  if (size_of_image == 0 || size_of_image < size_of_headers) return ImageVerdict::kBadSizeOfImage;
  for (std::uint16_t i = 0; i < section_count; ++i) {
    const ImageVerdict verdict =
        CheckSection(data + sections + std::uint64_t(i) * kSectionHeaderBytes, file_size, size_of_image);
    if (verdict != ImageVerdict::kWhole) return verdict;
  }
  return ImageVerdict::kWhole;
}
