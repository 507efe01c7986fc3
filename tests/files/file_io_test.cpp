#include "files/file_io.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

struct StreamCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

Stream OpenRead(const std::string& path) { return Stream(std::fopen(path.c_str(), "rb")); }

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Sizes around the start size and each growth step of the read buffer.
TEST(ReadStreamText, ReadsWholeContentAcrossGrowthSteps) {
  TempDir dir;
  for (std::size_t size : {0u, 1u, 1023u, 1024u, 3965u, 3966u, 3967u, 4990u, 5000u, 13966u, 13967u, 15000u, 100000u}) {
    SCOPED_TRACE(size);
    const std::string content = RandomBytes(size, static_cast<unsigned>(size));
    const std::string path = dir.File("f.bin");
    testing_support::WriteWholeFile(path, content);
    Stream file = OpenRead(path);
    ASSERT_TRUE(file);
    std::size_t length = 99;
    ReadStatus status = ReadStatus::kCannotOpen;
    HeapText text = ReadStreamText(file.get(), &length, &status);
    ASSERT_TRUE(text);
    EXPECT_EQ(status, ReadStatus::kOk);
    ASSERT_EQ(length, size);
    EXPECT_EQ(std::string(text.get(), length), content);
    EXPECT_EQ(text.get()[length], '\0');
  }
}

TEST(ReadStreamText, NoStreamIsCannotOpen) {
  ReadStatus status = ReadStatus::kOk;
  EXPECT_FALSE(ReadStreamText(nullptr, nullptr, &status));
  EXPECT_EQ(status, ReadStatus::kCannotOpen);
}

// A stream whose reads fail part-way must not give a cut-short text that
// passes for the whole file.  Here the stream's descriptor is swapped for a
// write-only one after the first blocks were read.
TEST(ReadStreamText, ReadErrorGivesNoText) {
  TempDir dir;
  const std::string path = dir.File("r.bin");
  testing_support::WriteWholeFile(path, RandomBytes(8192, 7));
  Stream file = OpenRead(path);
  ASSERT_TRUE(file);
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  char first[2048];
  ASSERT_EQ(std::fread(first, 1, sizeof first, file.get()), sizeof first);
  const int write_only = open(path.c_str(), O_WRONLY);
  ASSERT_GE(write_only, 0);
  ASSERT_GE(dup2(write_only, fileno(file.get())), 0);
  close(write_only);
  std::size_t length = 99;
  ReadStatus status = ReadStatus::kOk;
  EXPECT_FALSE(ReadStreamText(file.get(), &length, &status));
  EXPECT_EQ(status, ReadStatus::kReadError);
  EXPECT_EQ(length, 0u);
}

TEST(ReadLine, ReturnsLinesWithTheirFeedAndLeavesThePositionAfterIt) {
  TempDir dir;
  const std::string path = dir.File("lines.txt");
  const std::string long_line(600, 'x');
  testing_support::WriteWholeFile(path, "first\r\n" + long_line + "\n" + std::string("\0zero\n", 6) + "last");
  Stream file = OpenRead(path);
  char buffer[1024];
  ASSERT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 7);
  EXPECT_STREQ(buffer, "first\r\n");
  ASSERT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 601);
  EXPECT_EQ(std::string(buffer), long_line + "\n");
  ASSERT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 5);
  EXPECT_STREQ(buffer, "zero\n");
  ASSERT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 4);
  EXPECT_STREQ(buffer, "last");
  EXPECT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 0);
  EXPECT_STREQ(buffer, "");
}

TEST(ReadLine, LineLongerThanTheBufferComesInPieces) {
  TempDir dir;
  const std::string path = dir.File("long.txt");
  testing_support::WriteWholeFile(path, "abcdefghij\nz");
  Stream file = OpenRead(path);
  char buffer[5];
  EXPECT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 4);
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 4);
  EXPECT_STREQ(buffer, "efgh");
  EXPECT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 3);
  EXPECT_STREQ(buffer, "ij\n");
  EXPECT_EQ(ReadLine(buffer, sizeof buffer, file.get()), 1);
  EXPECT_STREQ(buffer, "z");
}

TEST(WriteFormatted, WritesTextsLongerThanOneStepWithoutNul) {
  TempDir dir;
  const std::string path = dir.File("out.txt");
  const std::string long_text(4500, 'q');
  {
    Stream file(std::fopen(path.c_str(), "wb"));
    ASSERT_TRUE(file);
    EXPECT_EQ(WriteFormatted(file.get(), "%s=%d\n", "key", 42), 7);
    EXPECT_EQ(WriteFormatted(file.get(), "%s", long_text.c_str()), 4500);
  }
  const auto bytes = testing_support::ReadWholeFile(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "key=42\n" + long_text);
  EXPECT_EQ(WriteFormatted(nullptr, "%d", 1), -1);
}

}  // namespace
