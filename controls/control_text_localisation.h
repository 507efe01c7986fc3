// How a dialog control's text is replaced by the text of the current
// language when its dialog opens.  The lookups are passed in, so the rule
// itself needs no window and no loaded language.
#pragma once

#include <functional>
#include <string>

// A lookup answers the text stored for a key, or nullptr.  An empty
// std::function stands for a table that does not exist.
using TextLookup = std::function<const char*(const std::string& key)>;

struct ControlTextSources {
  TextLookup translation;   // the current language's translations
  TextLookup source_texts;  // translated text + ":" + dialog id -> English text
  TextLookup hook;          // the library's translation hook: replaces a result, or nullptr
};

struct LocalisedControlText {
  bool changed = false;        // false: the control keeps its text untouched
  std::string window_text;     // the text to show
  bool record_source = false;  // true: remember source_key -> source_text
  std::string source_key;
  std::string source_text;
};

// The rule for one control text.  Leading blanks and trailing white space
// (blanks, tabs, carriage returns, line feeds) are not part of the key; the
// shown text gets one blank in front when the original had leading blanks
// and one behind when it had trailing white space.  Localising a text twice
// gives the same result as localising it once.
LocalisedControlText LocaliseControlText(const std::string& text, int dialog_id, const ControlTextSources& sources);
