// Which file a help or tips document is read from, and where its topic
// index lives.
#pragma once

#include <string>

// A language code as it may appear in a file name: 1 to 8 ASCII letters or
// digits.  Anything else (it comes from a language file) is ignored.
bool IsSafeLanguageCode(const char* code);

// True for the names shown as HTML ("*.htm", "*.html").
bool IsHtmlDocumentName(const std::string& name);

// The document path with the text from its last "." replaced by ".idx".
std::string TopicIndexPath(const std::string& document_path);

// Where an index is kept.  Beside its document while `index_folder` is empty;
// otherwise (the program folder takes no files) at the same place below
// `index_folder` as it would have below `program_folder`, so that
// "lang\help_de.idx" stays apart from "help.idx".  Both folders end in "\".
// An index outside the program folder stays where it is.  `index_path` is
// named from `program_folder` as ChooseHelpDocumentPaths names documents.
std::string PlacedIndexPath(const std::string& index_path, const std::string& program_folder,
                            const std::string& index_folder);

struct HelpDocumentPaths {
  std::string document;
  // The language variant's index, rebuilt at every open so that it always
  // matches the variant; empty when no variant is in use.
  std::string stale_index;
};

// `folder` is the installation folder with its trailing "\" (or empty).
// With a usable language code and a variant "lang\<name>_<code>.htm" that
// exists, that variant; otherwise folder + name.  A name with its own
// drive or root is used as it is.
HelpDocumentPaths ChooseHelpDocumentPaths(const std::string& folder, const std::string& name, const char* language_code,
                                          bool (*exists)(const std::string& path));
