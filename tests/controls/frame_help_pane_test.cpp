#include "controls/frame_help_pane.h"

#include <gtest/gtest.h>

#include "controls/dialog_resources.h"
#include "controls/frame_services.h"
#include "controls/frame_test_fixture.h"

namespace {

using namespace frame_testing;

void* g_pane_closed = nullptr;
int g_pane_closes = 0;
int g_fake_pane = 0;
void* OpenFakePane(DialogFrame*, const char*) { return &g_fake_pane; }
void CloseFakePane(void* pane) {
  g_pane_closed = pane;
  ++g_pane_closes;
}

TEST_F(FrameTest, HelpPaneIsSharedWithChildFramesAndClosedWithTheLast) {
  FrameServicesTable().open_help_pane = OpenFakePane;
  FrameServicesTable().close_help_pane = CloseFakePane;
  g_pane_closes = 0;
  DialogFrame* parent = NewDialogFrame();
  ASSERT_EQ(SetFrameHelp(parent, "help.htm", 7888, TopicTimesTen), 1);
  DialogFrame* child = nullptr;
  DialogRequest request;
  request.holder = &child;
  request.parent = parent;
  ASSERT_EQ(CreateDialogFromResource(request, IDD_FRAME_TEST), 1);
  EXPECT_EQ(child->help_pane, &g_fake_pane);
  EXPECT_EQ(child->help_command, 7888);
  EXPECT_EQ(child->help_topic_of, TopicTimesTen);
  EXPECT_EQ(HelpPaneReferences(&g_fake_pane), 2);
  DestroyWindow(child->window);
  // Reusing the child's frame with the same parent takes no second reference.
  ASSERT_EQ(CreateDialogFromResource(request, IDD_FRAME_TEST), 1);
  EXPECT_EQ(HelpPaneReferences(&g_fake_pane), 2);
  DestroyWindow(child->window);

  FreeDialogFrame(parent);
  EXPECT_EQ(g_pane_closes, 0);
  FreeDialogFrame(child);
  EXPECT_EQ(g_pane_closes, 1);
  EXPECT_EQ(g_pane_closed, &g_fake_pane);
}

}  // namespace
