#include "controls/edit_history.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A plain string as the edited text.
class StringText : public EditableText {
 public:
  explicit StringText(std::wstring text) : text_(std::move(text)) {}
  std::wstring Read(long first, long last) const override {
    return text_.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
  }
  long Replace(long first, long last, const std::wstring& text) override {
    const std::wstring stored = Store(text);
    text_.replace(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first), stored);
    return first + static_cast<long>(stored.size());
  }
  // What an edit puts into the text and how long it ends up there.
  TextEdit Edit(long first, long last, const std::wstring& text) {
    TextEdit edit;
    edit.first = first;
    edit.replaced = Read(first, last);
    edit.last = Replace(first, last, text);
    return edit;
  }
  const std::wstring& text() const { return text_; }

 protected:
  virtual std::wstring Store(const std::wstring& text) const { return text; }

 private:
  std::wstring text_;
};

// Keeps a line break as one "\r", as rich edit controls do.
class LineBreakText : public StringText {
 public:
  using StringText::StringText;

 protected:
  std::wstring Store(const std::wstring& text) const override {
    std::wstring stored;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
      stored += text[i] == L'\n' ? L'\r' : text[i];
    }
    return stored;
  }
};

// The reference: every state of the text in order, a position in them and
// the oldest state still reachable by undo.
struct Snapshots {
  std::vector<std::wstring> states;
  std::size_t at = 0;
  std::size_t oldest = 0;
  long typing_end = -1;  // where a typed run could continue

  void Edited(const std::wstring& text, std::size_t limit, bool joins) {
    states.resize(at + 1);
    if (joins) {
      states[at] = text;
      return;
    }
    states.push_back(text);
    ++at;
    if (at - oldest > limit) oldest = at - limit;
  }
};

void RunRandomSession(unsigned seed, std::size_t limit) {
  std::mt19937 random(seed);
  auto below = [&random](long bound) { return static_cast<long>(random() % static_cast<unsigned long>(bound)); };
  StringText text(L"The quick brown fox");
  EditHistory history(limit);
  Snapshots model;
  model.states.push_back(text.text());
  for (int step = 0; step < 400; ++step) {
    const long size = static_cast<long>(text.text().size());
    const int action = static_cast<int>(random() % 10);
    if (action < 5) {
      const bool typing = action < 2;
      long first = below(size + 1);
      long last = first + below(size - first + 1);
      std::wstring inserted(static_cast<std::size_t>(below(4)), static_cast<wchar_t>(L'a' + below(26)));
      if (typing) {
        if (model.typing_end >= 0 && model.typing_end <= size && below(3) != 0) first = last = model.typing_end;
        inserted = std::wstring(1, static_cast<wchar_t>(L'a' + below(26)));
      }
      const bool joins = typing && model.typing_end == first && first == last;
      history.Record(text.Edit(first, last, inserted), typing);
      model.Edited(text.text(), limit, joins);
      model.typing_end = typing ? first + 1 : -1;
    } else if (action < 8) {
      const bool can = model.at > model.oldest;
      ASSERT_EQ(history.CanUndo(), can) << "seed " << seed << " step " << step;
      ASSERT_EQ(history.Undo(text), can);
      if (can) --model.at;
      model.typing_end = -1;
    } else {
      const bool can = model.at + 1 < model.states.size();
      ASSERT_EQ(history.CanRedo(), can) << "seed " << seed << " step " << step;
      ASSERT_EQ(history.Redo(text), can);
      if (can) ++model.at;
      model.typing_end = -1;
    }
    ASSERT_EQ(text.text(), model.states[model.at]) << "seed " << seed << " step " << step;
  }
}

TEST(EditHistory, RandomSessionsFollowTheSnapshotModel) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    RunRandomSession(seed, EditHistory::kDefaultLimit);
    RunRandomSession(seed, 3);  // the oldest records are forgotten
  }
}

TEST(EditHistory, UndoAndRedoReportTheRangeTheyLeave) {
  StringText text(L"abcdef");
  EditHistory history;
  history.Record(text.Edit(1, 3, L"XYZW"));  // aXYZWdef
  TextEdit changed;
  ASSERT_TRUE(history.Undo(text, &changed));
  EXPECT_EQ(text.text(), L"abcdef");
  EXPECT_EQ(changed.first, 1);
  EXPECT_EQ(changed.last, 3);
  EXPECT_EQ(changed.replaced, L"XYZW");
  ASSERT_TRUE(history.Redo(text, &changed));
  EXPECT_EQ(text.text(), L"aXYZWdef");
  EXPECT_EQ(changed.last, 5);
  // A new edit after an undo drops the redo step.
  ASSERT_TRUE(history.Undo(text));
  history.Record(text.Edit(0, 0, L">"));
  EXPECT_FALSE(history.CanRedo());
  history.Clear();
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.Undo(text));
}

// Text whose line breaks the control shortens: undo must take back what is
// really there, not as many characters as were pasted.
TEST(EditHistory, StepsUseTheLengthTheTextKept) {
  LineBreakText text(L"[]");
  EditHistory history;
  history.Record(text.Edit(1, 1, L"one\r\ntwo\r\nthree"));
  EXPECT_EQ(text.text(), L"[one\rtwo\rthree]");
  ASSERT_TRUE(history.Undo(text));
  EXPECT_EQ(text.text(), L"[]");
  ASSERT_TRUE(history.Redo(text));
  ASSERT_TRUE(history.Undo(text));
  EXPECT_EQ(text.text(), L"[]");
}

TEST(EditHistory, ATypedRunIsUndoneAtOnceButNotAcrossOtherEdits) {
  StringText text(L"");
  EditHistory history;
  for (long i = 0; i < 3; ++i) history.Record(text.Edit(i, i, L"x"), true);
  history.Record(text.Edit(0, 1, L""));  // a deletion ends the run
  history.Record(text.Edit(2, 2, L"y"), true);
  EXPECT_EQ(text.text(), L"xxy");
  ASSERT_TRUE(history.Undo(text));
  EXPECT_EQ(text.text(), L"xx");
  ASSERT_TRUE(history.Undo(text));
  EXPECT_EQ(text.text(), L"xxx");
  ASSERT_TRUE(history.Undo(text));
  EXPECT_EQ(text.text(), L"");
  EXPECT_FALSE(history.CanUndo());
}

}  // namespace
