// The main window's table laid out at a few window sizes, against the
// positions its anchors describe in words: the source pane from the left edge
// to the divider, the destination pane from the divider to 10 pixels left of
// the button column, both lists down to 5 pixels above the status bar.
#include "app/main_window_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "res/main_window_ids.h"
#include "res/main_window_sizes.h"

namespace {

constexpr WindowFrameMetrics kMetrics = {22, 8, 50};  // status bar; non-client width and height
constexpr int kToolbarHeight = 28;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 24;
constexpr int kLabelWidth = 45;
constexpr int kLabelHeight = 15;
constexpr int kFieldHeight = 21;
constexpr int kDividerInitialLeft = 300;
constexpr int kGroupHeight = 95;

struct Sizes {
  int width;
  int height;
};

Sizes InitialSizeOf(const LayoutEntry& entry) {
  switch (entry.Id()) {
    case IDC_TOOLBAR:
      return {600, kToolbarHeight};
    case IDC_PANE_DIVIDER:
      return {4, 380};
    case IDC_RIP:
    case IDC_HELP_BUTTON:
    case IDC_REFRESH_CD:
      return {kButtonWidth, kButtonHeight};
    case IDC_SOURCE_GROUP:
    case IDC_DESTINATION_GROUP:
      return {290, kGroupHeight};
    case IDC_CD_LABEL:
    case IDC_TITLE_LABEL:
    case IDC_ARTIST_LABEL:
    case IDC_OUTPUT_LABEL:
    case IDC_FORMAT_LABEL:
    case IDC_RATE_LABEL:
    case IDC_RATE_UNIT:
      return {kLabelWidth, kLabelHeight};
    case IDC_FILE_MASK:
      return {80, kFieldHeight};
    case IDC_BROWSE_FOLDER:
      return {24, 22};
    default:
      return {200, kFieldHeight};
  }
}

// The table copied as the window copies it, laid out with every control at
// its current size (its initial size the first time).
class LaidOutTable {
 protected:
  void CopyTable() {
    entries_ = CopyLayoutTable(kMainWindowLayout, kMainWindowLayoutRows);
    AnchorLooseSplittersToWindow(entries_);
  }

  void LayOut(int width, int height) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (!SizedFromControl(entries_[i], i)) continue;
      const LayoutRect now = entries_[i].Rect();
      const bool first = now.Width() == 0 && now.Height() == 0;
      const LayoutRect size = first ? entries_[i].Initial() : now;
      SetCurrentSize(entries_[i], size.Width(), size.Height());
    }
    RunLayoutPasses(entries_, {width, height});
  }

  LayoutRect Rect(int id) const {
    for (const LayoutEntry& entry : entries_) {
      if (entry.Id() == id && entry.Kind() != kLayoutWindow) return entry.Rect();
    }
    ADD_FAILURE() << "no entry " << id;
    return {};
  }

  std::vector<LayoutEntry> entries_;
};

class MainWindowLayout : public ::testing::Test, protected LaidOutTable {
 protected:
  void SetUp() override {
    CopyTable();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      LayoutEntry& entry = entries_[i];
      const Sizes size = InitialSizeOf(entry);
      entry.SetInitial({0, 0, size.width, size.height});
      if (entry.Kind() == kLayoutSplitter) entry.SetRect({kDividerInitialLeft, 0, kDividerInitialLeft + 4, 380});
    }
    CaptureAdjustments(entries_, kMetrics);
  }
};

TEST_F(MainWindowLayout, PanesButtonsAndListsFollowTheWindow) {
  for (const Sizes window : {Sizes{800, 600}, Sizes{1000, 700}, Sizes{640, 480}}) {
    LayOut(window.width, window.height);
    const int client_width = window.width - kMetrics.nonclient_width;
    const int above_status = window.height - kMetrics.nonclient_height - kMetrics.status_bar_height;
    const LayoutRect divider = Rect(IDC_PANE_DIVIDER);
    const LayoutRect rip = Rect(IDC_RIP);
    SCOPED_TRACE(std::to_string(window.width) + "x" + std::to_string(window.height));

    EXPECT_EQ(Rect(IDC_TOOLBAR).top, 0);
    EXPECT_EQ(Rect(IDC_TOOLBAR).right, client_width);
    EXPECT_EQ(Rect(IDC_TOOLBAR).bottom, kToolbarHeight);
    EXPECT_EQ(rip.right, client_width - 10);
    EXPECT_EQ(rip.Width(), kButtonWidth);
    EXPECT_EQ(rip.top, kToolbarHeight + 10);
    EXPECT_EQ(Rect(IDC_HELP_BUTTON).top, rip.bottom);
    EXPECT_EQ(Rect(IDC_REFRESH_CD).top, Rect(IDC_FILE_LIST).top);
    EXPECT_EQ(divider.top, kToolbarHeight + 5);
    EXPECT_EQ(divider.bottom, above_status - 1);

    const LayoutRect source = Rect(IDC_SOURCE_GROUP);
    EXPECT_EQ(source.left, 5);
    EXPECT_EQ(source.right, divider.left);
    EXPECT_EQ(source.bottom, source.top + kGroupHeight);
    const LayoutRect tracks = Rect(IDC_TRACK_LIST);
    EXPECT_EQ(tracks.left, 5);
    EXPECT_EQ(tracks.right, divider.left);
    EXPECT_EQ(tracks.top, source.bottom + 4);
    EXPECT_EQ(tracks.bottom, above_status - 5);
    EXPECT_EQ(Rect(IDC_DRIVE_COMBO).right, divider.left - 10);
    EXPECT_EQ(Rect(IDC_ARTIST).top, Rect(IDC_TITLE_LABEL).bottom + 1);

    const LayoutRect files = Rect(IDC_FILE_LIST);
    EXPECT_EQ(files.left, divider.right);
    EXPECT_EQ(files.right, rip.left - 10);
    EXPECT_EQ(files.top, Rect(IDC_DESTINATION_GROUP).bottom + 4);
    EXPECT_EQ(files.bottom, above_status - 5);
    EXPECT_EQ(Rect(IDC_OUTPUT_LABEL).left, divider.right + 5);
    EXPECT_EQ(Rect(IDC_BROWSE_FOLDER).right, rip.left - 20);
    EXPECT_EQ(Rect(IDC_FILE_MASK).right, Rect(IDC_BROWSE_FOLDER).left - 3);
    EXPECT_EQ(Rect(IDC_OUTPUT_FOLDER).right, Rect(IDC_FILE_MASK).left - 1);
    EXPECT_EQ(Rect(IDC_FORMAT_COMBO).right, Rect(IDC_OUTPUT_FOLDER).right);
    EXPECT_EQ(Rect(IDC_RATE_UNIT).left, Rect(IDC_RATE_COMBO).right + 4);
  }
}

TEST_F(MainWindowLayout, DividerStaysBetweenItsLimitsAndComesBackWhenTheWindowGrows) {
  LayOut(1000, 600);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).left, kDividerInitialLeft);

  // 350 pixels from the right edge: a 620-pixel window allows a right edge of 270.
  LayOut(620, 600);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).right, 270);
  EXPECT_EQ(Rect(IDC_TRACK_LIST).right, 266);

  // Narrower still, the minimum of 200 wins over the margin.
  LayOut(460, 600);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).left, 200);

  LayOut(640, 600);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).right, 290);
  LayOut(1000, 600);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).left, kDividerInitialLeft);
  EXPECT_EQ(Rect(IDC_TRACK_LIST).right, kDividerInitialLeft);
}

TEST_F(MainWindowLayout, ADragIsLimitedLikeAResize) {
  LayOut(1000, 600);
  LayoutEntry* divider = nullptr;
  for (LayoutEntry& entry : entries_) {
    if (entry.Id() == IDC_PANE_DIVIDER) divider = &entry;
  }
  ASSERT_NE(divider, nullptr);
  ApplySplitterDrag(*divider, divider->Rect(), -500, 0);
  LayOut(1000, 600);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).left, 200);
  ApplySplitterDrag(*divider, divider->Rect(), 900, 0);
  LayOut(1000, 600);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).right, 650);
  EXPECT_EQ(Rect(IDC_FILE_LIST).left, 650);
}

}  // namespace

namespace {

// The template's controls in dialog units, as the window creates them.
struct UnitSize {
  int width;
  int height;
};

UnitSize TemplateSizeOf(int id) {
  switch (id) {
    case IDC_RIP:
    case IDC_HELP_BUTTON:
    case IDC_REFRESH_CD:
      return {MAIN_BUTTON_WIDTH, 15};
    case IDC_CD_LABEL:
    case IDC_TITLE_LABEL:
    case IDC_ARTIST_LABEL:
      return {MAIN_SOURCE_LABEL_WIDTH, 9};
    case IDC_OUTPUT_LABEL:
    case IDC_FORMAT_LABEL:
    case IDC_RATE_LABEL:
      return {MAIN_DESTINATION_LABEL_WIDTH, 9};
    case IDC_RATE_UNIT:
      return {20, 9};
    case IDC_FILE_MASK:
      return {MAIN_FILE_MASK_WIDTH, 12};
    case IDC_BROWSE_FOLDER:
      return {MAIN_BROWSE_WIDTH, 14};
    case IDC_SOURCE_GROUP:
    case IDC_DESTINATION_GROUP:
      return {196, 58};
    default:
      return {150, 12};
  }
}

struct Resolution {
  const char* name;
  DialogBaseUnits base;
  WindowFrameMetrics frame;
  int toolbar_height;
};

// The window's font at 96 and 144 dots per inch, and a narrow font.
const Resolution kResolutions[] = {
    {"96 dpi", {6, 13}, {22, 8, 50}, 28},
    {"144 dpi", {9, 20}, {33, 12, 75}, 40},
    {"narrow font", {5, 13}, {22, 8, 50}, 28},
};

void PrintTo(const Resolution& resolution, std::ostream* out) { *out << resolution.name; }

constexpr int kEtchedLineWidth = 2;

class MainWindowLimitsAt : public ::testing::TestWithParam<Resolution>, protected LaidOutTable {
 protected:
  int X(int units) const { return DialogUnitsToPixelsX(units, GetParam().base); }
  int Y(int units) const { return DialogUnitsToPixelsY(units, GetParam().base); }

  void SetUp() override {
    const Resolution& at = GetParam();
    limits_ = MainWindowLimitsFor(at.base, at.frame, kEtchedLineWidth);
    CopyTable();
    ApplyDividerLimits(entries_, limits_);
    for (LayoutEntry& entry : entries_) {
      if (entry.Kind() == kLayoutToolbar) {
        entry.SetInitial({0, 0, X(MAIN_WINDOW_WIDTH), at.toolbar_height});
      } else if (entry.Kind() == kLayoutSplitter) {
        entry.SetRect({X(MAIN_DIVIDER_LEFT), 0, X(MAIN_DIVIDER_LEFT) + kEtchedLineWidth, Y(248)});
      } else {
        const UnitSize size = TemplateSizeOf(entry.Id());
        entry.SetInitial({0, 0, X(size.width), Y(size.height)});
      }
    }
    CaptureAdjustments(entries_, at.frame);
  }

  // Every box of the destination row usable and nothing overlapping.
  void ExpectDestinationRowFits(int client_width) {
    const LayoutRect folder = Rect(IDC_OUTPUT_FOLDER);
    EXPECT_GE(folder.Width(), X(kFolderBoxMinWidth));
    EXPECT_GE(Rect(IDC_FORMAT_COMBO).Width(), X(kFolderBoxMinWidth));
    EXPECT_GE(Rect(IDC_OUTPUT_LABEL).left, Rect(IDC_PANE_DIVIDER).right);
    EXPECT_GE(folder.left, Rect(IDC_OUTPUT_LABEL).right);
    EXPECT_GE(Rect(IDC_FILE_MASK).left, folder.right);
    EXPECT_GE(Rect(IDC_BROWSE_FOLDER).left, Rect(IDC_FILE_MASK).right);
    EXPECT_GE(Rect(IDC_RIP).left, Rect(IDC_BROWSE_FOLDER).right);
    EXPECT_EQ(Rect(IDC_RIP).right, client_width - 10);
  }

  MainWindowLimits limits_;
};

TEST_P(MainWindowLimitsAt, TheFirstRunSizeKeepsTheDividerWhereTheTemplatePutsIt) {
  const Resolution& at = GetParam();
  const int client_width = X(MAIN_WINDOW_WIDTH);
  LayOut(client_width + at.frame.nonclient_width, Y(MAIN_WINDOW_HEIGHT) + at.frame.nonclient_height);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).left, X(MAIN_DIVIDER_LEFT));
  ExpectDestinationRowFits(client_width);
}

TEST_P(MainWindowLimitsAt, TheSmallestWindowStillHoldsEveryBox) {
  const Resolution& at = GetParam();
  LayOut(limits_.min_width, limits_.min_height);
  EXPECT_EQ(Rect(IDC_PANE_DIVIDER).left, limits_.divider_min_left);
  ExpectDestinationRowFits(limits_.min_width - at.frame.nonclient_width);
  EXPECT_GT(Rect(IDC_DRIVE_COMBO).Width(), X(kFolderBoxMinWidth));
  EXPECT_GT(Rect(IDC_TRACK_LIST).Height(), Y(40));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, MainWindowLimitsAt, ::testing::ValuesIn(kResolutions),
                         [](const ::testing::TestParamInfo<Resolution>& param) {
                           std::string name = param.param.name;
                           for (char& c : name) {
                             if (c == ' ') c = '_';
                           }
                           return name;
                         });

}  // namespace
