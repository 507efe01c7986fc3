// The disc record's fit into the caller's buffer and the cuts that must not
// split a double-byte character.
#include "akrip/cddb_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Shift-JIS-like lead bytes.
akrip::TextCodec DoubleByteCodec() {
  akrip::TextCodec codec = akrip::Utf8Codec();
  codec.is_lead_byte = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
  return codec;
}

TEST(CddbRecord, EveryCapacityGetsWholeLinesAndItsNul) {
  const std::vector<std::string> lines = {"# c", "DTITLE=A / B", "TTITLE0=one", "EXTD=ext", "TTITLE1=two"};
  const std::string whole = akrip::BuildDiscRecord(lines, akrip::Utf8Codec(), 10000);
  ASSERT_EQ(whole, "# c\nDTITLE=A / B\nTTITLE0=one\nEXTD=ext\nTTITLE1=two\n");
  for (size_t capacity = 0; capacity <= whole.size() + 1; ++capacity) {
    const std::string record = akrip::BuildDiscRecord(lines, akrip::Utf8Codec(), capacity);
    SCOPED_TRACE(capacity);
    EXPECT_LE(record.size() + 1, capacity == 0 ? 1 : capacity);
    EXPECT_TRUE(record.empty() || record.back() == '\n');
  }
  // Without the comment it fits; then without EXTD as well.
  EXPECT_EQ(akrip::BuildDiscRecord(lines, akrip::Utf8Codec(), whole.size()),
            "DTITLE=A / B\nTTITLE0=one\nEXTD=ext\nTTITLE1=two\n");
  EXPECT_EQ(akrip::BuildDiscRecord(lines, akrip::Utf8Codec(), whole.size() - 4),
            "DTITLE=A / B\nTTITLE0=one\nTTITLE1=two\n");
}

TEST(CddbRecord, ConvertedValuesReachTheCallersCodePage) {
  akrip::TextCodec upper = akrip::Utf8Codec();
  upper.from_utf8 = [](const std::string& utf8) { return utf8 == "Caf\xc3\xa9" ? std::string("Caf\xe9") : utf8; };
  EXPECT_EQ(akrip::BuildDiscRecord({"TTITLE0=Caf\xe9"}, upper, 100), "TTITLE0=Caf\xe9\n");
}

TEST(CddbText, CutsKeepDoubleByteCharactersWhole) {
  const akrip::TextCodec codec = DoubleByteCodec();
  EXPECT_EQ(akrip::CutText("ab\x82\xa0", 3, codec), "ab");
  EXPECT_EQ(akrip::CutText("ab\x82\xa0", 4, codec), "ab\x82\xa0");
  EXPECT_EQ(akrip::CutText("a\x82\xa0z", 2, codec), "a");
  EXPECT_EQ(akrip::CutText("abc", 2, codec), "ab");
  // A lead byte at the very end has no trail: it is not kept.
  EXPECT_EQ(akrip::CutText("ab\x82", 10, codec), "ab");
}

}  // namespace
