#include "common/text_buf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// The invariant every operation must keep: length is the position of the
// first NUL and never exceeds capacity.
void ExpectConsistent(const char* text) {
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(TextLength(text), static_cast<int>(std::strlen(text)));
  EXPECT_LE(TextLength(text), TextCapacity(text));
}

TEST(TextBuf, BlockLayoutKeepsCapacityAndLengthInFrontOfTheText) {
  TextBufOwner buf;
  ASSERT_NE(TextAssign(buf.ptr(), "hello"), nullptr);
  const auto* header = reinterpret_cast<const std::int32_t*>(buf.get()) - 2;
  EXPECT_EQ(header[0], 5);  // capacity: exactly the text
  EXPECT_EQ(header[1], 5);  // length
  EXPECT_STREQ(buf.get(), "hello");
}

TEST(TextBuf, GrowthIsExactFit) {
  TextBufOwner buf;
  TextAssign(buf.ptr(), "abc");
  EXPECT_EQ(TextCapacity(buf.get()), 3);
  TextAssign(buf.ptr(), "ab");  // fits: no reallocation, no shrinking
  EXPECT_EQ(TextCapacity(buf.get()), 3);
  TextAssign(buf.ptr(), "abcdefg");
  EXPECT_EQ(TextCapacity(buf.get()), 7);
  TextAppend(buf.ptr(), "hi");
  EXPECT_EQ(TextCapacity(buf.get()), 9);
  EXPECT_STREQ(buf.get(), "abcdefghi");
  ExpectConsistent(buf.get());

  // Appending exactly up to the capacity must not reallocate.
  TextBufOwner exact;
  *exact.ptr() = TextAlloc(6);
  TextAssign(exact.ptr(), "abc");
  char* before = exact.get();
  TextAppend(exact.ptr(), "def");
  EXPECT_EQ(exact.get(), before);
  EXPECT_EQ(TextCapacity(exact.get()), 6);
  EXPECT_STREQ(exact.get(), "abcdef");
}

TEST(TextBuf, FirstAppendAllocatesOneSpareCharacter) {
  TextBufOwner buf;
  TextAppend(buf.ptr(), "abc");
  EXPECT_EQ(TextCapacity(buf.get()), 4);
  ExpectConsistent(buf.get());
}

TEST(TextBuf, AbsentArgumentsChangeNothing) {
  EXPECT_EQ(TextAssign(nullptr, "x"), nullptr);
  EXPECT_EQ(TextAppend(nullptr, "x"), nullptr);
  EXPECT_EQ(TextFormat(nullptr, "x"), -1);
  EXPECT_EQ(TextSyncLength(nullptr), -1);
  TextFree(nullptr);

  TextBuf empty = nullptr;
  EXPECT_EQ(TextGrow(&empty, 10), nullptr);
  EXPECT_EQ(TextReplaceFirst(&empty, "a", "b"), nullptr);
  EXPECT_EQ(TextReplaceAll(&empty, "a", "b"), 0);
  EXPECT_EQ(TextCutAtLast(&empty, '\\'), 0);
  EXPECT_EQ(TextAppend(&empty, nullptr), nullptr);
  EXPECT_EQ(empty, nullptr);
  EXPECT_EQ(TextAlloc(-1), nullptr);

  // A null source assigns the empty text.
  TextBufOwner buf;
  TextAssign(buf.ptr(), "abc");
  TextAssign(buf.ptr(), nullptr);
  EXPECT_STREQ(buf.get(), "");
  ExpectConsistent(buf.get());
}

TEST(TextBuf, AssignVariants) {
  TextBufOwner buf;
  TextAssignN(buf.ptr(), "abcdef", 0);
  EXPECT_EQ(buf.get(), nullptr);  // nothing allocated
  TextAppend(buf.ptr(), "abc");
  EXPECT_STREQ(buf.get(), "abc");
  EXPECT_EQ(TextLength(buf.get()), 3);

  TextAssignN(buf.ptr(), "wxyz", 2);
  EXPECT_STREQ(buf.get(), "wx");
  TextAssignN(buf.ptr(), "ab", 50);  // n beyond the text stops at its end
  EXPECT_STREQ(buf.get(), "ab");
  TextAssignN(buf.ptr(), nullptr, 5);
  EXPECT_STREQ(buf.get(), "");
  ExpectConsistent(buf.get());

  TextAssignUntil(buf.ptr(), "key=value", '=');
  EXPECT_STREQ(buf.get(), "key");
  TextAssignUntil(buf.ptr(), "=value", '=');
  EXPECT_STREQ(buf.get(), "");
  TextAssignUntil(buf.ptr(), "novalue", '=');
  EXPECT_STREQ(buf.get(), "novalue");
  TextAppendUntil(buf.ptr(), "-x;y", ';');
  EXPECT_STREQ(buf.get(), "novalue-x");
  ExpectConsistent(buf.get());
}

TEST(TextBuf, SourcesInsideTheBufferSurviveReallocation) {
  TextBufOwner buf;
  TextAssign(buf.ptr(), "abcdef");
  TextAppend(buf.ptr(), buf.get());
  EXPECT_STREQ(buf.get(), "abcdefabcdef");
  TextAssign(buf.ptr(), buf.get() + 6);
  EXPECT_STREQ(buf.get(), "abcdef");
  TextReplaceAll(buf.ptr(), "c", buf.get());
  EXPECT_STREQ(buf.get(), "ababcdefdef");
  TextReplaceFirst(buf.ptr(), "a", buf.get() + 1);
  EXPECT_STREQ(buf.get(), "babcdefdefbabcdefdef");
  ExpectConsistent(buf.get());
}

TEST(TextBuf, ReplaceAllFillsTemplatesAndNeverRescansReplacements) {
  TextBufOwner buf;
  TextAssign(buf.ptr(), "enc %IN% %IN%.mp3");
  EXPECT_NE(TextReplaceAll(buf.ptr(), "%IN%", "a"), 0);
  EXPECT_STREQ(buf.get(), "enc a a.mp3");

  TextBufOwner doubled;
  TextAssign(doubled.ptr(), "xx");
  EXPECT_NE(TextReplaceAll(doubled.ptr(), "x", "xx"), 0);
  EXPECT_STREQ(doubled.get(), "xxxx");
  EXPECT_EQ(TextCapacity(doubled.get()), 4);  // grown exactly to the result

  TextAssign(buf.ptr(), "aaa");  // occurrences overlap: taken left to right
  TextReplaceAll(buf.ptr(), "aa", "b");
  EXPECT_STREQ(buf.get(), "ba");

  TextAssign(buf.ptr(), "a-b-c");
  TextReplaceAll(buf.ptr(), "-", nullptr);
  EXPECT_STREQ(buf.get(), "abc");
  EXPECT_EQ(TextReplaceAll(buf.ptr(), "zz", "y"), 0);
  EXPECT_EQ(TextReplaceAll(buf.ptr(), "", "y"), 0);
  EXPECT_STREQ(buf.get(), "abc");
  ExpectConsistent(buf.get());
}

TEST(TextBuf, ReplaceAllAgreesWithStringReference) {
  std::mt19937 random(20240607);
  const char alphabet[] = "ab%";
  auto random_text = [&](unsigned max_len) {
    std::string s(random() % (max_len + 1), 'a');
    for (char& c : s) c = alphabet[random() % 3];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string text = random_text(20);
    std::string search = random_text(3);
    if (search.empty()) search = "a";
    const std::string replacement = random_text(5);

    std::string expected;
    std::size_t from = 0;
    int count = 0;
    for (std::size_t at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
      expected += text.substr(from, at - from) + replacement;
      from = at + search.size();
      ++count;
    }
    expected += text.substr(from);

    TextBufOwner buf;
    TextAssign(buf.ptr(), text.c_str());
    const int replaced = TextReplaceAll(buf.ptr(), search.c_str(), replacement.c_str());
    ASSERT_STREQ(buf.get(), expected.c_str()) << text << " / " << search << " / " << replacement;
    ASSERT_EQ(replaced != 0, count != 0);
    ExpectConsistent(buf.get());
  }
}

TEST(TextBuf, ReplaceFirstAndLastReturnThePositionAfterTheInsertion) {
  TextBufOwner buf;
  TextAssign(buf.ptr(), "a.b.c");
  char* after = TextReplaceFirst(buf.ptr(), ".", "--");
  ASSERT_NE(after, nullptr);
  EXPECT_STREQ(buf.get(), "a--b.c");
  EXPECT_STREQ(after, "b.c");
  after = TextReplaceLast(buf.ptr(), ".", nullptr);
  ASSERT_NE(after, nullptr);
  EXPECT_STREQ(buf.get(), "a--bc");
  EXPECT_STREQ(after, "c");
  EXPECT_EQ(TextReplaceLast(buf.ptr(), "q", "x"), nullptr);
  EXPECT_EQ(TextReplaceFirst(buf.ptr(), "", "x"), nullptr);
  EXPECT_EQ(TextCapacity(buf.get()), 6);  // grew exactly for the longer text
  ExpectConsistent(buf.get());
}

TEST(TextBuf, CutAtLastTurnsAPathIntoItsFolder) {
  TextBufOwner buf;
  TextAssign(buf.ptr(), "C:\\music\\a.wav");
  EXPECT_EQ(TextCutAtLast(buf.ptr(), '\\'), 1);
  EXPECT_STREQ(buf.get(), "C:\\music");
  EXPECT_EQ(TextCutAtLast(buf.ptr(), '/'), 0);
  EXPECT_STREQ(buf.get(), "C:\\music");
  ExpectConsistent(buf.get());
}

TEST(TextBuf, SyncLengthAfterDirectEdits) {
  TextBufOwner buf;
  TextAssign(buf.ptr(), "abcdef");
  buf.get()[2] = '\0';
  EXPECT_EQ(TextSyncLength(buf.get()), 2);
  ExpectConsistent(buf.get());
  // A text written without its terminator is cut at the capacity.
  std::memset(buf.get(), 'x', 7);
  EXPECT_EQ(TextSyncLength(buf.get()), 6);
  EXPECT_STREQ(buf.get(), "xxxxxx");
}

TEST(TextBuf, GrowKeepsTheTextAndRefusesToCutIt) {
  TextBufOwner buf;
  TextAssign(buf.ptr(), "abc");
  ASSERT_NE(TextGrow(buf.ptr(), 100), nullptr);
  EXPECT_EQ(TextCapacity(buf.get()), 100);
  EXPECT_STREQ(buf.get(), "abc");
  EXPECT_EQ(TextGrow(buf.ptr(), 2), nullptr);
  EXPECT_STREQ(buf.get(), "abc");
  EXPECT_EQ(TextCapacity(buf.get()), 100);
}

TEST(TextBuf, FormatShortAndLongResults) {
  TextBufOwner buf;
  EXPECT_EQ(TextFormat(buf.ptr(), "%s-%d", "track", 7), 7);
  EXPECT_STREQ(buf.get(), "track-7");

  // Results around and far past the first scratch size.
  for (int size : {1023, 1024, 1025, 3072, 10000}) {
    const std::string filler(static_cast<std::size_t>(size), 'q');
    ASSERT_EQ(TextFormat(buf.ptr(), "%s", filler.c_str()), size);
    EXPECT_EQ(std::string(buf.get()), filler);
    ExpectConsistent(buf.get());
  }

  // The buffer's own text as an argument.
  TextAssign(buf.ptr(), "abc");
  EXPECT_EQ(TextFormat(buf.ptr(), "[%s]", buf.get()), 5);
  EXPECT_STREQ(buf.get(), "[abc]");
}

TEST(TextBuf, FreeEmptiesTheVariable) {
  TextBuf buf = nullptr;
  TextAssign(&buf, "x");
  ASSERT_NE(buf, nullptr);
  TextFree(&buf);
  EXPECT_EQ(buf, nullptr);
  TextFree(&buf);
}

}  // namespace
