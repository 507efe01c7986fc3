// Undo and redo for a text control that records its own edits.  Each record
// says which characters an edit left in the text and what they replaced;
// undoing swaps the two, so the same record shape serves both directions.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

struct TextEdit {
  long first = 0;         // first character the edit left in the text
  long last = 0;          // one past the last character it left
  std::wstring replaced;  // what stood at `first` before the edit
};

// The text an edit history works on.
class EditableText {
 public:
  virtual ~EditableText() = default;
  virtual std::wstring Read(long first, long last) const = 0;
  // Replaces [first, last) with `text` and returns one past the end of what
  // now stands there (a control may store line breaks differently).
  virtual long Replace(long first, long last, const std::wstring& text) = 0;
};

class EditHistory {
 public:
  // Records beyond the limit are forgotten, oldest first.
  static constexpr std::size_t kDefaultLimit = 200;
  explicit EditHistory(std::size_t limit = kDefaultLimit) : limit_(limit == 0 ? 1 : limit) {}

  // A new edit: it can be undone, and what was undone before is gone.
  // With `extends_typing`, an edit that continues the previous typed edit
  // right where it ended joins it, so undo takes back a typed run at once.
  void Record(const TextEdit& edit, bool extends_typing = false);

  // Undo and Redo apply the newest record to `text` and move it, swapped, to
  // the other stack.  False when there is nothing to do.  On success `*changed`
  // (may be null) receives the range the step left in the text.
  bool Undo(EditableText& text, TextEdit* changed = nullptr);
  bool Redo(EditableText& text, TextEdit* changed = nullptr);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Forgets both stacks (the text was changed by something not recorded).
  void Clear();

 private:
  static bool Swap(std::deque<TextEdit>& from, std::deque<TextEdit>& to, EditableText& text, TextEdit* changed);

  std::size_t limit_;
  std::deque<TextEdit> undo_;
  std::deque<TextEdit> redo_;
  bool last_was_typing_ = false;
};
