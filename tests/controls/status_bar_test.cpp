// The status bar of a frame dialog: made when the window opens, parts laid
// out on every resize, and the owner-drawn progress part checked by pixels.
#include "controls/status_bar.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "controls/dialog_frame.h"
#include "controls/frame_bars.h"
#include "controls/frame_services.h"
#include "controls/frame_test_dialogs.h"
#include "support/pixel_canvas.h"

namespace {

constexpr int kRightPart = 87;

void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int FrameOwner(DialogFrame*, UINT, WPARAM, LPARAM) { return 0; }

void ThreeParts(DialogFrame* frame, int) {
  RECT client = {};
  GetClientRect(frame->window, &client);
  SetStatusParts(frame, {1, int(client.right) - kRightPart, -1});
}

class StatusBarTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    FrameServicesTable() = FrameServices();
    InstallFrameBars();
    frame_ = NewDialogFrame();
  }
  void TearDown() override {
    if (frame_->window != nullptr) DestroyWindow(frame_->window);
    FreeDialogFrame(frame_);
    FrameServicesTable() = FrameServices();
    ReleaseStatusFont();
    ShutdownCommonLibrary();
  }
  void Open() {
    DialogRequest request;
    request.holder = &frame_;
    request.procedure = FrameOwner;
    ASSERT_EQ(CreateDialogFromResource(request, IDD_FRAME_RESIZABLE), 1);
    PumpPending();
  }
  std::vector<int> Parts() {
    std::vector<int> edges(8, 0);
    const int count = int(SendMessageA(frame_->status_bar->window, SB_GETPARTS, edges.size(), LPARAM(edges.data())));
    edges.resize(std::size_t(count));
    return edges;
  }
  DialogFrame* frame_ = nullptr;
};

TEST_F(StatusBarTest, WindowIsMadeWhenTheFrameOpensNotWhenTheBarIsAdded) {
  StatusBarRecord* bar = AddStatusBar(frame_, 3, ThreeParts);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->window, nullptr);
  Open();
  ASSERT_NE(bar->window, nullptr);
  EXPECT_EQ(GetParent(bar->window), frame_->window);
  EXPECT_TRUE(IsWindowVisible(bar->window) || !IsWindowVisible(frame_->window));
  EXPECT_EQ(AddStatusBar(frame_, 0, nullptr), nullptr);
  EXPECT_EQ(AddStatusBar(frame_, 65, nullptr), nullptr);
}

TEST_F(StatusBarTest, PartsFollowTheWindowWidth) {
  AddStatusBar(frame_, 3, ThreeParts);
  Open();
  for (int width : {420, 640}) {
    SetWindowPos(frame_->window, nullptr, 0, 0, width, 300, SWP_NOZORDER | SWP_NOMOVE);
    PumpPending();
    RECT client = {};
    GetClientRect(frame_->window, &client);
    EXPECT_EQ(Parts(), (std::vector<int>{1, int(client.right) - kRightPart, -1})) << width;
    RECT bar = {};
    GetWindowRect(frame_->status_bar->window, &bar);
    EXPECT_EQ(bar.right - bar.left, client.right) << "the bar spans the window";
  }
}

TEST_F(StatusBarTest, PartEdgesStopAtThePartCountAndTextsReachTheirPart) {
  AddStatusBar(frame_, 2, nullptr);
  Open();
  SetStatusParts(frame_, {50, 100, 150, -1});
  EXPECT_EQ(Parts(), (std::vector<int>{50, 100}));
  EXPECT_EQ(frame_->status_bar->right_edges.back(), -1);
  SetStatusParts(frame_, {70, -1});
  EXPECT_EQ(Parts(), (std::vector<int>{70, -1}));
  SetStatusText(frame_, "C:\\Music\\a.ogg", 1);
  char text[64] = "";
  SendMessageA(frame_->status_bar->window, SB_GETTEXTA, 1, LPARAM(text));
  EXPECT_STREQ(text, "C:\\Music\\a.ogg");
}

class ProgressDrawing : public StatusBarTest {
 protected:
  static constexpr int kWidth = 100, kHeight = 20;

  std::vector<uint32_t> Draw(ULONG_PTR data, int* handled) {
    PixelCanvas canvas(kWidth, kHeight);
    const RECT all = canvas.bounds();
    FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT item = {};
    item.hwndItem = frame_->status_bar->window;
    item.hDC = canvas.dc();
    item.rcItem = all;
    item.itemData = data;
    *handled = DrawStatusItem(frame_, &item);
    return canvas.Pixels();
  }
  ULONG_PTR Ours() { return reinterpret_cast<ULONG_PTR>(&frame_->status_bar->progress); }
  static uint32_t Caption() {
    const COLORREF c = GetSysColor(COLOR_ACTIVECAPTION);
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  }
};

TEST_F(ProgressDrawing, PercentageIsHeldToTheWholePart) {
  AddStatusBar(frame_, 2, nullptr);
  Open();
  int handled = 0;
  SetStatusProgress(frame_, 1, "", 250, false);
  EXPECT_EQ(frame_->status_bar->progress.percentage, 100);
  std::vector<uint32_t> pixels = Draw(Ours(), &handled);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(pixels[kWidth - 1], Caption()) << "filled to the right end, not past it";

  SetStatusProgress(frame_, 1, "", 40, false);
  pixels = Draw(Ours(), &handled);
  EXPECT_EQ(pixels[10 * kWidth + 39], Caption());
  EXPECT_EQ(pixels[10 * kWidth + 41], 0xFFFFFFu);

  SetStatusProgress(frame_, 1, "", -30, false);
  pixels = Draw(Ours(), &handled);
  EXPECT_EQ(pixels[10 * kWidth + 1], 0xFFFFFFu);
}

TEST_F(ProgressDrawing, OnlyOurPartIsDrawnAndTheBusyBandMoves) {
  AddStatusBar(frame_, 2, nullptr);
  Open();
  int handled = 1;
  int not_ours = 0;
  const std::vector<uint32_t> untouched = Draw(reinterpret_cast<ULONG_PTR>(&not_ours), &handled);
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(untouched[0], 0xFFFFFFu);

  SetStatusProgress(frame_, 1, "", 10, true);
  const std::vector<uint32_t> first = Draw(Ours(), &handled);
  EXPECT_EQ(handled, 1);
  for (int step = 0; step < 20; ++step) Draw(Ours(), &handled);
  const std::vector<uint32_t> later = Draw(Ours(), &handled);
  EXPECT_NE(first, later);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(first[0], (uint32_t(GetRValue(face)) << 16) | (uint32_t(GetGValue(face)) << 8) | GetBValue(face));
}

}  // namespace
