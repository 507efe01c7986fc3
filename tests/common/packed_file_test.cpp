#include "common/packed_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

void PutLittleEndian32(Bytes* bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes Pack(const std::string& text, std::int32_t stated_length) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  Bytes packed(kPackedHeaderSize + size);
  EXPECT_EQ(compress(packed.data() + kPackedHeaderSize, &size, reinterpret_cast<const Bytef*>(text.data()),
                     static_cast<uLong>(text.size())),
            Z_OK);
  packed.resize(kPackedHeaderSize + size);
  PutLittleEndian32(&packed, 0, kPackedFileMagic);
  PutLittleEndian32(&packed, 4, static_cast<std::uint32_t>(stated_length));
  return packed;
}

std::optional<std::string> Unpack(const Bytes& bytes) { return UnpackText(bytes.data(), bytes.size()); }

const std::string kText = "lang=de\r\nE=Error\r\nT=Fehler\r\n";

// What the packing tool writes: the source with its lines ending in CR LF.
std::string WithCrLf(const std::string& source) {
  std::string out;
  std::string line;
  for (std::size_t i = 0; i < source.size(); ++i) {
    char c = source[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < source.size() && source[i + 1] == '\n') ++i;
      out += line + "\r\n";
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) out += line + "\r\n";
  return out;
}

TEST(PackedFileTest, FilesMadeByThePackingToolHoldTheirSource) {
  for (const char* code : {"de", "fr"}) {
    SCOPED_TRACE(code);
    std::string packed = std::string(CORVALE_LANG_DIR) + "/lang_" + code + ".dat";
    std::optional<std::string> text = ReadPackedFile(packed.c_str());
    ASSERT_TRUE(text) << packed;
    std::vector<unsigned char> source =
        testing_support::ReadWholeFile(std::string(CORVALE_SOURCE_DIR) + "/lang/src/lang_" + code + ".txt");
    EXPECT_EQ(*text, WithCrLf(std::string(source.begin(), source.end())));
  }
}

TEST(PackedFileTest, StatedLengthMayExceedTheText) {
  EXPECT_EQ(Unpack(Pack(kText, static_cast<std::int32_t>(kText.size()))), kText);
  EXPECT_EQ(Unpack(Pack(kText, static_cast<std::int32_t>(kText.size()) + 100)), kText);
  EXPECT_EQ(Unpack(Pack("", 0)), std::string());
}

TEST(PackedFileTest, BrokenContainersAreRefused) {
  const Bytes good = Pack(kText, static_cast<std::int32_t>(kText.size()));
  ASSERT_TRUE(Unpack(good));

  Bytes wrong_magic = good;
  wrong_magic[3] = 0x02;
  EXPECT_FALSE(Unpack(wrong_magic)) << "wrong magic";

  Bytes negative = good;
  PutLittleEndian32(&negative, 4, 0xFFFFFFFFu);
  EXPECT_FALSE(Unpack(negative)) << "length -1";

  Bytes absurd = good;
  PutLittleEndian32(&absurd, 4, 0x7FFFFFFFu);
  EXPECT_FALSE(Unpack(absurd)) << "length no stream of this size can hold";

  Bytes too_short = Pack(kText, static_cast<std::int32_t>(kText.size()) - 1);
  EXPECT_FALSE(Unpack(too_short)) << "text longer than stated";

  for (std::size_t cut = 1; cut < good.size() - kPackedHeaderSize; cut += 3) {
    Bytes truncated(good.begin(), good.end() - static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(Unpack(truncated)) << "stream cut by " << cut;
  }

  Bytes corrupt = good;
  corrupt[kPackedHeaderSize + 5] ^= 0x55;
  EXPECT_FALSE(Unpack(corrupt)) << "corrupt stream";

  EXPECT_FALSE(Unpack(Bytes(good.begin(), good.begin() + 7))) << "shorter than the header";
  EXPECT_FALSE(UnpackText(nullptr, 0));
}

TEST(PackedFileTest, ReadingMissingOrOversizedFilesGivesNothing) {
  testing_support::TempDir dir;
  EXPECT_FALSE(ReadPackedFile(dir.File("missing.dat").c_str()));
  EXPECT_FALSE(ReadPackedFile(nullptr));

  std::string small = dir.File("small.txt");
  testing_support::WriteWholeFile(small, "abc");
  EXPECT_EQ(ReadSmallFile(small.c_str(), 3), std::string("abc"));
  EXPECT_FALSE(ReadSmallFile(small.c_str(), 2));
}

}  // namespace
