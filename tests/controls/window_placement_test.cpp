#include "controls/window_placement.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string CorpusFolder() { return CONTROLS_PLACEMENTS_DIR "/"; }

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  if (DIR* folder = opendir(CorpusFolder().c_str())) {
    while (dirent* entry = readdir(folder)) {
      std::string name = entry->d_name;
      const std::string suffix = ".case";
      if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        names.push_back(name.substr(0, name.size() - suffix.size()));
      }
    }
    closedir(folder);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string FieldOf(const std::vector<std::string>& lines, const std::string& label) {
  for (const std::string& line : lines) {
    if (line.compare(0, label.size(), label) == 0) {
      std::string value = line.substr(label.size());
      if (!value.empty() && value[0] == ' ') value.erase(0, 1);
      return value;
    }
  }
  ADD_FAILURE() << "no " << label;
  return std::string();
}

// Every case starts from the same known values, so that the fields a parse
// does not reach show up unchanged in the expected text.
TEST(WindowPlacementCorpus, EachCaseParsesToItsExpectedPlacement) {
  const std::vector<std::string> names = CaseNames();
  ASSERT_GE(names.size(), 10u) << "corpus missing in " << CorpusFolder();
  for (const std::string& name : names) {
    std::ifstream file(CorpusFolder() + name + ".case");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    WindowPlacementValues values;
    values.normal_left = 1;
    values.normal_top = 2;
    values.normal_right = 3;
    values.normal_bottom = 4;
    values.show_state = 0;
    values.splitter_drags.assign(std::stoi(FieldOf(lines, "splitters:")), SplitterDrag{9, 9});
    ParseWindowPlacement(FieldOf(lines, "input:").c_str(), values);
    EXPECT_EQ(FormatWindowPlacement(values), FieldOf(lines, "expected:")) << name;
  }
}

TEST(WindowPlacement, RandomPlacementsSurviveFormatAndParse) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> coordinate(-40000, 40000);
  std::uniform_int_distribution<int> drag(-32768, 32767);
  for (int round = 0; round < 200; ++round) {
    WindowPlacementValues original;
    original.normal_left = coordinate(random);
    original.normal_top = coordinate(random);
    original.normal_right = coordinate(random);
    original.normal_bottom = coordinate(random);
    original.show_state = round % 3;
    original.splitter_drags.resize(round % 4);
    for (SplitterDrag& d : original.splitter_drags)
      d = {static_cast<int16_t>(drag(random)), static_cast<int16_t>(drag(random))};

    WindowPlacementValues parsed;
    parsed.splitter_drags.resize(original.splitter_drags.size());
    const std::string text = FormatWindowPlacement(original);
    EXPECT_EQ(ParseWindowPlacement(text.c_str(), parsed), 5 + 2 * static_cast<int>(original.splitter_drags.size()));
    EXPECT_EQ(FormatWindowPlacement(parsed), text);
  }
}

TEST(WindowPlacement, NullTextChangesNothing) {
  WindowPlacementValues values;
  values.normal_left = 7;
  EXPECT_EQ(ParseWindowPlacement(nullptr, values), 0);
  EXPECT_EQ(values.normal_left, 7);
}

}  // namespace
