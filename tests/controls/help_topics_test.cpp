#include "controls/help_topics.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "controls/help_paths.h"
#include "controls/help_topic_store.h"
#include "support/temp_dir.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Everything the viewer would take from a document: its code page, its head
// and every indexed topic's text.
std::string DescribeDocument(const std::string& document, bool html_mode) {
  const DocumentHead head = ReadDocumentHead(document, html_mode);
  const TopicIndex index = BuildTopicIndex(document);
  std::ostringstream out;
  out << "code page " << head.code_page << "\n== head\n" << head.text << "\n";
  for (std::size_t n = 1; n < index.size(); ++n) {
    if (index[n] == 0) continue;
    const TopicText topic = ExtractTopicText(document, index, static_cast<int>(n), html_mode, false);
    out << "== topic " << n << (topic.lookup == TopicLookup::kFound ? "" : " NOT FOUND")
        << (topic.next_offset != 0 ? " (next)" : "") << "\n"
        << topic.text << "\n";
  }
  return out.str();
}

class HelpDocumentCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(HelpDocumentCorpus, TopicsMatchTheExpectedResult) {
  const std::filesystem::path folder = std::filesystem::path(CONTROLS_TEST_DATA) / "help_documents" / GetParam();
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::filesystem::path path = entry.path();
    if (path.extension() == ".expected") continue;
    SCOPED_TRACE(path.filename().string());
    const std::string actual = DescribeDocument(ReadFile(path), IsHtmlDocumentName(path.filename().string()));
    std::filesystem::path expected_path = path;
    expected_path.replace_extension(".expected");
    if (std::getenv("CORVALE_WRITE_EXPECTED") != nullptr) std::ofstream(expected_path, std::ios::binary) << actual;
    EXPECT_EQ(actual, ReadFile(expected_path));
    ++checked;
  }
  EXPECT_GE(checked, 5);
}

INSTANTIATE_TEST_SUITE_P(Folders, HelpDocumentCorpus, ::testing::Values("good", "bad"));

TEST(HelpTopics, MarkersAfterQuotesEqualsColonsAndAmpersandsAreNoMarkers) {
  int number = 0;
  EXPECT_TRUE(TopicMarkerAt("x #12 y", 2, &number));
  EXPECT_EQ(number, 12);
  for (const char* text : {"\"#12", "=#12", ":#12", ":x#12", "&#12"}) {
    const std::string_view view(text);
    EXPECT_FALSE(TopicMarkerAt(view, view.find('#'), &number)) << text;
  }
  EXPECT_FALSE(TopicMarkerAt("#x", 0, &number));
  EXPECT_FALSE(TopicMarkerAt("#", 0, &number));
}

TEST(HelpTopics, HugeNumbersStayAboveTheCapWithoutOverflow) {
  int number = 0;
  int digits = 0;
  ASSERT_TRUE(TopicMarkerAt("#4294967297", 0, &number, &digits));
  EXPECT_GT(number, kMaxTopicNumber);
  EXPECT_EQ(digits, 10);
  const TopicIndex index = BuildTopicIndex("#1 a\n#4294967297 b\n#32768 c\n");
  EXPECT_EQ(index.size(), static_cast<std::size_t>(kIndexFileSlots));
  EXPECT_EQ(index[1], 0u);  // a marker at offset 0 cannot be told from "no topic"
}

TEST(HelpTopics, IndexFileRoundTripsAndKeepsItsMinimumSize) {
  TopicIndex index = BuildTopicIndex("head\n#1 one\n#7000 far\n");
  ASSERT_EQ(index.size(), 7001u);
  EXPECT_EQ(index[1], 5u);
  EXPECT_EQ(index[7000], 12u);
  const std::string bytes = EncodeTopicIndex(index);
  EXPECT_EQ(bytes.size(), 7001u * 4);
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x05\0\0\0", 4));
  EXPECT_EQ(DecodeTopicIndex(bytes), index);
  EXPECT_EQ(EncodeTopicIndex(TopicIndex(3, 0)).size(), static_cast<std::size_t>(kIndexFileSlots) * 4);
  EXPECT_EQ(DecodeTopicIndex(std::string(7, '\x01')).size(), 1u);
}

TEST(HelpTopics, CharsetValuesAreReadQuotedOrNot) {
  EXPECT_EQ(CharsetCodePage("content=\"text/html; charset=\"shift_jis\""), 932);
  EXPECT_EQ(CharsetCodePage("<meta charset='Shift_JIS'>"), 932);
  EXPECT_EQ(CharsetCodePage("charset = shift_jis>"), 932);
  EXPECT_EQ(CharsetCodePage("charset=shift_jisx"), kDefaultDocumentCodePage);
  EXPECT_EQ(CharsetCodePage("charset=iso-8859-1"), kDefaultDocumentCodePage);
  EXPECT_EQ(CharsetCodePage("charset"), kDefaultDocumentCodePage);
}

TEST(HelpTopics, ComposedTextExpandsMacrosInTheTopicOnly) {
  TopicMacros macros;
  macros.language_code = "de";
  macros.product = "Corvale";
  EXPECT_EQ(ComposeTopic("<body>", "$PRODUCT/%LANG%/x?id=%ID%", true, macros), "<body>Corvale/de/x</BODY></HTML>");
  EXPECT_EQ(ComposeTopic("{\\rtf1 $PRODUCT", "a /%LANG% b", false, TopicMacros()), "{\\rtf1 $PRODUCTa  b}");
}

TEST(HelpTopics, StaleIndexIsRebuiltOnceAndABuiltIndexIsKeptWhenItsFileCannotBeWritten) {
  testing_support::TempDir dir;
  const std::string document = dir.File("help.htm");
  const std::string index_path = TopicIndexPath(document);
  std::ofstream(document, std::ios::binary) << "<body>\n#1 one\n#2 two\n";
  // An index from an older document: topic 2 points at topic 1's line.
  TopicIndex old_index(kIndexFileSlots, 0);
  old_index[1] = 7;
  old_index[2] = 7;
  std::ofstream(index_path, std::ios::binary) << EncodeTopicIndex(old_index);

  static int writes = 0;
  writes = 0;
  HelpTopicStore store;
  ASSERT_TRUE(store.Open(document, index_path, true, [](const std::string&, const std::string&) {
    ++writes;
    return false;
  }));
  EXPECT_FALSE(store.index_rebuilt());
  EXPECT_EQ(store.Extract(1).text, " one\n");
  const TopicText two = store.Extract(2);
  EXPECT_EQ(two.lookup, TopicLookup::kFound);
  EXPECT_EQ(two.text, " two\n");
  EXPECT_TRUE(store.index_rebuilt());
  EXPECT_FALSE(store.index_saved());
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(store.Extract(3).lookup, TopicLookup::kNoTopic);
  EXPECT_EQ(writes, 1);

  HelpTopicStore missing;
  EXPECT_FALSE(missing.Open(dir.File("none.htm"), dir.File("none.idx"), true, nullptr));
}

// A document of some hundred megabytes is not read at all (a sparse file:
// nothing of that size is written to disk).
TEST(HelpTopics, OversizedDocumentIsNotOpened) {
  testing_support::TempDir dir;
  const std::string document = dir.File("help.htm");
  {
    std::ofstream out(document, std::ios::binary);
    out << "<body>\n#1 one\n";
    out.seekp(std::streamoff(300) << 20);
    out << "#2 two\n";
  }
  HelpTopicStore store;
  EXPECT_FALSE(store.Open(document, TopicIndexPath(document), true, nullptr));

  // An index file too large to be one is ignored and built afresh.
  std::ofstream(document, std::ios::trunc | std::ios::binary) << "<body>\n#1 one\n";
  {
    std::ofstream out(TopicIndexPath(document), std::ios::binary);
    out.seekp(std::streamoff(300) << 20);
    out << '\0';
  }
  ASSERT_TRUE(store.Open(document, TopicIndexPath(document), true, nullptr));
  EXPECT_TRUE(store.index_rebuilt());
  EXPECT_EQ(store.Extract(1).text, " one\n");
}

// Cutting out a topic of many short lines takes time in proportion to its
// length: a topic of some megabytes used to take many seconds.
TEST(HelpTopics, LongTopicIsCutOutInLinearTime) {
  for (const bool html_mode : {true, false}) {
    std::string document = html_mode ? "<body>\n#1 start\n" : "{\\rtf1 head\n#1 start\n";
    const std::size_t lines = 150000;
    for (std::size_t i = 0; i < lines; ++i) document += "ab\n";
    document += "#2 two\n";
    const TopicIndex index = BuildTopicIndex(document);
    const auto begin = std::chrono::steady_clock::now();
    const TopicText topic = ExtractTopicText(document, index, 1, html_mode, false);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin).count();
    ASSERT_EQ(topic.lookup, TopicLookup::kFound);
    EXPECT_EQ(topic.text.size(), (html_mode ? std::string(" start\n").size() : 0) + lines * 3);
    EXPECT_LT(milliseconds, 1000) << (html_mode ? "html" : "rich text");
  }
}

}  // namespace
