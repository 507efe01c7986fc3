// The image check against the corpus in executable_images/: each NAME.bin
// has the verdict it must get in NAME.expected.
#include "common/executable_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const char* VerdictName(ImageVerdict verdict) {
  switch (verdict) {
    case ImageVerdict::kWhole:
      return "whole";
    case ImageVerdict::kNoDosHeader:
      return "no_dos_header";
    case ImageVerdict::kNoPeSignature:
      return "no_pe_signature";
    case ImageVerdict::kFileHeaderCut:
      return "file_header_cut";
    case ImageVerdict::kOptionalHeaderCut:
      return "optional_header_cut";
    case ImageVerdict::kUnknownOptionalKind:
      return "unknown_optional_kind";
    case ImageVerdict::kNoSections:
      return "no_sections";
    case ImageVerdict::kSectionTableCut:
      return "section_table_cut";
    case ImageVerdict::kHeadersCut:
      return "headers_cut";
    case ImageVerdict::kBadSizeOfImage:
      return "bad_size_of_image";
    case ImageVerdict::kSectionDataCut:
      return "section_data_cut";
    case ImageVerdict::kSectionOutsideImage:
      return "section_outside_image";
  }
  return "?";
}

TEST(ExecutableImage, CorpusGetsItsExpectedVerdicts) {
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(CORVALE_EXECUTABLE_IMAGES_DIR)) {
    if (entry.path().extension() != ".bin") continue;
    SCOPED_TRACE(entry.path().filename().string());
    fs::path expected_file = entry.path();
    expected_file.replace_extension(".expected");
    std::ifstream expected_stream(expected_file);
    std::string expected;
    ASSERT_TRUE(std::getline(expected_stream, expected)) << "missing " << expected_file;
    // An exact-size copy, so that the sanitizer sees any read past the end.
    const std::vector<unsigned char> bytes = testing_support::ReadWholeFile(entry.path().string());
    std::vector<unsigned char> exact(bytes.begin(), bytes.end());
    EXPECT_EQ(VerdictName(CheckExecutableImage(exact.empty() ? nullptr : exact.data(), exact.size())), expected);
    ++checked;
  }
  EXPECT_GE(checked, 10);
}

// Every cut of a whole image short of its end is refused, wherever it falls.
TEST(ExecutableImage, EveryTruncationOfAWholeImageIsRefused) {
  const std::vector<unsigned char> whole =
      testing_support::ReadWholeFile(std::string(CORVALE_EXECUTABLE_IMAGES_DIR) + "/whole_program.bin");
  ASSERT_EQ(CheckExecutableImage(whole.data(), whole.size()), ImageVerdict::kWhole);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    std::vector<unsigned char> cut(whole.begin(), whole.begin() + std::ptrdiff_t(size));
    EXPECT_NE(CheckExecutableImage(cut.empty() ? nullptr : cut.data(), cut.size()), ImageVerdict::kWhole) << size;
  }
}

}  // namespace
