// Editing keys in an editable viewer, through a real rich edit control: each
// change is recorded and undone and redone in order.
#include <string>
#include <vector>

#include "rich_viewer_fixture.h"

namespace {

using EditingTest = EditableViewerTest;

TEST_F(EditingTest, PasteCutDeleteAndBackspaceUndoAndRedoInOrder) {
  SetPlainText("{\\rtf1 Hello world}");
  std::vector<std::wstring> states = {Text()};
  ASSERT_EQ(states[0], L"Hello world");

  // Longer than any fixed buffer, with line breaks the control shortens.
  std::wstring pasted;
  for (int line = 0; line < 4000; ++line) pasted += L"line " + std::to_wstring(line) + L" \u00e9\u4e2d\r\n";
  ASSERT_TRUE(PutOnClipboard(pasted));
  Select(6, 11);
  Press('V', {VK_CONTROL});
  std::wstring stored = L"Hello " + pasted;
  for (std::size_t at = stored.find(L"\r\n"); at != std::wstring::npos; at = stored.find(L"\r\n", at)) {
    stored.erase(at + 1, 1);
  }
  ASSERT_EQ(Text(), stored);
  states.push_back(Text());

  Select(0, 6);
  Press('X', {VK_CONTROL});
  EXPECT_EQ(ClipboardText(), L"Hello ");
  states.push_back(Text());
  Select(0, 0);
  Press(VK_DELETE);  // "l" of "line 0"
  states.push_back(Text());
  Select(3, 3);
  Press(VK_BACK);  // "e" of "ine"
  states.push_back(Text());
  ASSERT_EQ(Text().substr(0, 8), L"in 0 \u00e9\u4e2d\r");

  for (std::size_t i = states.size() - 1; i > 0; --i) {
    Press('Z', {VK_CONTROL});
    ASSERT_EQ(Text(), states[i - 1]) << "undo to state " << i - 1;
  }
  Press('Z', {VK_CONTROL});  // nothing left to undo
  EXPECT_EQ(Text(), states[0]);
  for (std::size_t i = 1; i < states.size(); ++i) {
    Press('Y', {VK_CONTROL});
    ASSERT_EQ(Text(), states[i]) << "redo to state " << i;
  }
}

TEST_F(EditingTest, TypedRunIsOneStepAndPastedRichTextStaysPlain) {
  SetPlainText("{\\rtf1 ab}");
  Select(1, 1);
  Type(L"xyz");
  EXPECT_EQ(Text(), L"axyzb");
  ASSERT_TRUE(PutOnClipboard(L"{\\rtf1 \\b bold}"));
  Press(VK_INSERT, {VK_SHIFT});
  EXPECT_EQ(Text(), L"axyz{\\rtf1 \\b bold}b");
  Press('Z', {VK_CONTROL});
  EXPECT_EQ(Text(), L"axyzb");
  Press('Z', {VK_CONTROL});
  EXPECT_EQ(Text(), L"ab");
}

// A change the viewer did not record (here the program's own replacement)
// makes the records point at the wrong text: they are dropped, and undo must
// not touch the new text.
TEST_F(EditingTest, UnrecordedChangeDropsTheHistory) {
  SetPlainText("{\\rtf1 abcdef}");
  Select(2, 4);
  Press(VK_DELETE);
  ASSERT_EQ(Text(), L"abef");
  Select(0, 0);
  SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"123"));
  ASSERT_EQ(Text(), L"123abef");
  Press('Z', {VK_CONTROL});
  EXPECT_EQ(Text(), L"123abef");
  // A new text starts afresh too.
  Type(L"q");
  SetPlainText("{\\rtf1 new}");
  Press('Z', {VK_CONTROL});
  EXPECT_EQ(Text(), L"new");
}

TEST_F(EditingTest, ReadOnlyViewerKeepsTheControlsOwnBehaviour) {
  SetPlainText("{\\rtf1 fixed text}");
  SendMessageW(window_, EM_SETREADONLY, TRUE, 0);
  ASSERT_TRUE(PutOnClipboard(L"pasted"));
  Select(0, 5);
  Press('V', {VK_CONTROL});
  Press(VK_DELETE);
  Type(L"x");
  EXPECT_EQ(Text(), L"fixed text");
  // Copying still works as the control does it.
  Press('C', {VK_CONTROL});
  EXPECT_EQ(ClipboardText(), L"fixed");
}

}  // namespace
