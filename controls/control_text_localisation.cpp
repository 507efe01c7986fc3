#include "controls/control_text_localisation.h"

namespace {

bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

const char* Find(const TextLookup& lookup, const std::string& key) { return lookup ? lookup(key) : nullptr; }

}  // namespace

LocalisedControlText LocaliseControlText(const std::string& text, int dialog_id, const ControlTextSources& sources) {
  LocalisedControlText result;
  if (text.empty()) return result;

  size_t end = text.size();
  while (end > 0 && IsTrailingSpace(text[end - 1])) --end;
  const bool trailing_space = end < text.size();
  const std::string without_trailing = text.substr(0, end);
  size_t begin = 0;
  while (begin < end && text[begin] == ' ') ++begin;
  const bool leading_blanks = begin > 0;
  const std::string trimmed = text.substr(begin, end - begin);
  const std::string context = ":" + std::to_string(dialog_id);
  const std::string key = trimmed + context;

  // Untranslated texts are kept without their padding so that the one blank
  // added back below does not pile up each time a dialog is localised.
  std::string chosen = trimmed;
  bool restored_english = false;
  if (sources.translation) {
    const char* found = Find(sources.translation, key);
    if (found == nullptr) found = Find(sources.translation, without_trailing);
    if (found != nullptr) chosen = found;
  } else if (sources.source_texts) {
    const char* found = Find(sources.source_texts, key);
    if (found != nullptr) chosen = found;
    restored_english = found != nullptr;
  }

  const std::string before = leading_blanks ? " " : "";
  const std::string after = trailing_space ? " " : "";
  result.changed = true;
  const char* replaced = Find(sources.hook, chosen);
  if (replaced != nullptr) {
    result.window_text = before + replaced + after;
    return result;
  }
  result.window_text = before + chosen + after;
  // An English text brought back has no other source to remember; recording
  // the foreign text it replaced as its source would bring that text back
  // into dialogs opened later in English.
  result.record_source = !restored_english;
  result.source_key = chosen + context;
  result.source_text = trimmed;
  return result;
}
