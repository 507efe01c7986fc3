#include "app/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

std::vector<std::string> ReadAllLines(const std::string& content) {
  testing_support::TempDir dir;
  const std::string path = dir.File("lines.txt");
  testing_support::WriteWholeFile(path, content);
  std::FILE* in = std::fopen(path.c_str(), "rb");
  EXPECT_NE(in, nullptr);
  std::vector<std::string> lines;
  if (!in) return lines;
  LineReader reader(in);
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  std::fclose(in);
  return lines;
}

// The rules written out plainly over the whole text at once.
std::vector<std::string> ReferenceLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t position = 0;
  while (position < content.size()) {
    size_t end = content.find('\n', position);
    end = end == std::string::npos ? content.size() : end + 1;
    std::string line = content.substr(position, end - position);
    position = end;
    if (line.size() > LineReader::kMaxLineBytes) line.resize(LineReader::kMaxLineBytes);
    if (!line.empty() && line[0] == '\0') line.erase(0, 1);
    line = line.substr(0, line.find('\0'));
    while (!line.empty() && std::string("\r\n \t").find(line.back()) != std::string::npos) {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(LineReader, LongLinesAreCutAtTheLimit) {
  const std::string long_value(30000 - 6, 'v');
  const std::vector<std::string> lines = ReadAllLines("path=" + long_value + "\nview=0\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "path=" + long_value.substr(0, LineReader::kMaxLineBytes - 5));
  EXPECT_EQ(lines[1], "view=0");

  // A line of exactly the limit, its LF included, stays one line.
  const std::string exact(LineReader::kMaxLineBytes - 1, 'x');
  const std::vector<std::string> fitting = ReadAllLines(exact + "\nnext");
  ASSERT_EQ(fitting.size(), 2u);
  EXPECT_EQ(fitting[0], exact);
  EXPECT_EQ(fitting[1], "next");
}

TEST(LineReader, CleansLineEndsBlanksAndNulBytes) {
  const char raw[] = "a=1\r\n\r\n\0b=2 \t\r\r\nc=3\0hidden\n\0\0d=4\ne=5";
  const std::string content(raw, sizeof raw - 1);
  const std::vector<std::string> expected = {"a=1", "", "b=2", "c=3", "", "e=5"};
  EXPECT_EQ(ReadAllLines(content), expected);
  EXPECT_TRUE(ReadAllLines("").empty());
}

TEST(LineReader, AgreesWithThePlainRulesOnRandomText) {
  std::mt19937 random(20240611);
  const char alphabet[] = {'a', '=', ' ', '\t', '\r', '\n', '\0', 'Z'};
  for (int round = 0; round < 40; ++round) {
    std::string content;
    const int segments = 1 + static_cast<int>(random() % 6);
    for (int s = 0; s < segments; ++s) {
      // Runs of one byte, some longer than the line limit, between mixed bytes.
      const size_t run = random() % 3 == 0 ? random() % 45000 : random() % 300;
      content.append(run, alphabet[random() % 2 == 0 ? 0 : random() % sizeof alphabet]);
      for (int i = 0; i < 20; ++i) content.push_back(alphabet[random() % sizeof alphabet]);
    }
    ASSERT_EQ(ReadAllLines(content), ReferenceLines(content)) << "round " << round;
  }
}

}  // namespace
