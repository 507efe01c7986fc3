// Link targets found in pages, the registry and language files: which ones
// may be followed at all, and how a relative one becomes a usable address.
#pragma once

#include <optional>
#include <string>

// Longest address handed to a browser, terminating zero not counted.
constexpr int kMaxBrowserAddress = 255;
// A relative address is joined to the current folder cut to this length.
constexpr int kMaxBrowserFolder = 200;
// Topic links ("#n") name topics below this number.
constexpr int kTopicNumberLimit = 32768;

enum class LinkKind {
  kRefused,
  kWeb,        // http:, https:, ftp:
  kMail,       // mailto:
  kTopic,      // "#n": a topic of the document being shown
  kPage,       // a relative .htm or .html page
  kLocalPage,  // a .htm or .html page below a drive letter (a page link made absolute)
};

struct LinkVerdict {
  LinkKind kind;
  const char* reason;  // fixed text saying why; "" for an accepted link
  bool allowed() const { return kind != LinkKind::kRefused; }
};

// Decides whether a link may be followed.  Accepted: web and mail addresses,
// "#n" topics, and .htm/.html pages given relative to the page (or, once
// resolved, below a drive letter).  Refused: every other scheme, rooted and
// network paths, other file types, and any text with control characters.
LinkVerdict CheckLink(const char* link);

// The topic number of a "#n" link, or -1 when the link is not one.
int LinkTopicNumber(const char* link);

// Makes a link found in a page usable against the page's address `base`
// (null or empty: none): a local base joins folders with "\" and resolves
// "..", a web base joins against its host root or folder; web and mail
// links stay as they are.  Every "./" is dropped at the end.
std::string ResolveLink(const char* base, const char* link);

// What a browser is given for `address`: the address itself when it holds a
// ":", else the file of that name in `current_folder` (cut to
// kMaxBrowserFolder characters).  nullopt when the result would not fit in
// kMaxBrowserAddress characters, or the address is empty or holds control
// characters: such an address is refused rather than opened cut short.
std::optional<std::string> BrowserTarget(const char* address, const char* current_folder);

// The DDE service of a browser program: its file name up to the first ".";
// "netscape" for a path without any "\".
std::string BrowserServiceName(const char* browser_path);

// `argument` as one command-line argument in double quotes.  nullopt when it
// holds a double quote or a control character, which no quoting could keep
// from being split or misread.
std::optional<std::string> QuoteCommandArgument(const std::string& argument);
