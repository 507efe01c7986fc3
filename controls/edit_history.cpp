#include "controls/edit_history.h"

void EditHistory::Record(const TextEdit& edit, bool extends_typing) {
  redo_.clear();
  if (extends_typing && last_was_typing_ && !undo_.empty() && edit.replaced.empty() &&
      undo_.back().last == edit.first) {
    undo_.back().last = edit.last;
    return;
  }
  undo_.push_back(edit);
  last_was_typing_ = extends_typing;
  while (undo_.size() > limit_) undo_.pop_front();
}

bool EditHistory::Swap(std::deque<TextEdit>& from, std::deque<TextEdit>& to, EditableText& text, TextEdit* changed) {
  if (from.empty()) return false;
  TextEdit step = std::move(from.back());
  from.pop_back();
  TextEdit reverse;
  reverse.first = step.first;
  reverse.replaced = text.Read(step.first, step.last);
  reverse.last = text.Replace(step.first, step.last, step.replaced);
  if (changed != nullptr) *changed = reverse;
  to.push_back(std::move(reverse));
  return true;
}

bool EditHistory::Undo(EditableText& text, TextEdit* changed) {
  last_was_typing_ = false;
  return Swap(undo_, redo_, text, changed);
}

bool EditHistory::Redo(EditableText& text, TextEdit* changed) {
  last_was_typing_ = false;
  return Swap(redo_, undo_, text, changed);
}

void EditHistory::Clear() {
  undo_.clear();
  redo_.clear();
  last_was_typing_ = false;
}
