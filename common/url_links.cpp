#include "common/url_links.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const std::size_t length = std::strlen(prefix);
  if (text.size() < length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const std::size_t length = std::strlen(suffix);
  return text.size() >= length && StartsWithNoCase(text.substr(text.size() - length), suffix);
}

bool HasControlCharacter(const std::string& text) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

bool IsWebOrMailLink(const std::string& link) {
  return StartsWithNoCase(link, "http:") || StartsWithNoCase(link, "https:") || StartsWithNoCase(link, "ftp:") ||
         StartsWithNoCase(link, "mailto:");
}

// A page's own path, without a query or an anchor.
bool NamesHtmlPage(const std::string& link) {
  const std::string path = link.substr(0, link.find_first_of("?#"));
  return EndsWithNoCase(path, ".htm") || EndsWithNoCase(path, ".html");
}

void ReplaceAll(std::string* text, const std::string& search, const std::string& replacement) {
  for (std::size_t at = text->find(search); at != std::string::npos; at = text->find(search, at + replacement.size())) {
    text->replace(at, search.size(), replacement);
  }
}

// Joins the segments of `path` after `root_length` characters, dropping each
// "." and each ".." with the segment before it (never past the root).
std::string ResolveDotDot(const std::string& path, std::size_t root_length, char separator) {
  if (root_length > path.size()) root_length = path.size();
  std::vector<std::string> segments;
  std::size_t start = root_length;
  for (;;) {
    const std::size_t end = path.find(separator, start);
    const std::string segment = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (segment == "." || segment == "..") {
      if (segment == ".." && !segments.empty()) segments.pop_back();
      // The last segment stays a folder: "a/.." ends in the separator.
      if (end == std::string::npos) segments.emplace_back();
    } else {
      segments.push_back(segment);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string joined = path.substr(0, root_length);
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (i != 0) joined += separator;
    joined += segments[i];
  }
  return joined;
}

// Drops "./" where it is a whole segment; the "./" inside "../" or "a./"
// belongs to a name and stays.
std::string DropCurrentFolderSteps(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    const bool segment_start = i == 0 || text[i - 1] == '/' || text[i - 1] == '\\';
    if (segment_start && text.compare(i, 2, "./") == 0) {
      i += 2;
      continue;
    }
    result += text[i++];
  }
  return result;
}

std::string ResolveAgainstLocalBase(const std::string& base, const std::string& link) {
  const std::size_t last_separator = base.rfind('\\');
  std::string joined = last_separator == std::string::npos ? base + "\\" : base.substr(0, last_separator + 1);
  joined += link;
  for (char& c : joined) {
    if (c == '/') c = '\\';
  }
  // "C:\" is the root the steps cannot leave.
  return ResolveDotDot(joined, joined.size() >= 3 && joined[2] == '\\' ? 3 : 2, '\\');
}

std::string ResolveAgainstWebBase(std::string base, std::string link) {
  // Stands in for "//" while the base is cut at single slashes.
  static const std::string kPlaceholder = "\x01\x02";
  ReplaceAll(&base, "//", kPlaceholder);
  // An address carried inside the base (a redirect) is not part of it; the
  // base's own scheme at the very start is.
  const std::size_t embedded = base.find("HTTP", 1);
  if (embedded != std::string::npos) base.resize(embedded);
  if (base.find(".jsp") == std::string::npos) {
    const std::size_t query = base.find('?');
    if (query != std::string::npos) base.resize(query);
  }
  for (std::size_t post = base.find("/POST"); post != std::string::npos; post = base.find("/POST", post)) {
    std::size_t end = post + 5;
    while (end < base.size() && base[end] == ' ') ++end;
    base.erase(post, end - post);
  }
  const std::size_t slash = !link.empty() && link[0] == '/' ? base.find('/') : base.rfind('/');
  if (slash == std::string::npos) {
    base += '/';
  } else {
    base.resize(slash + 1);
  }
  ReplaceAll(&base, kPlaceholder, "//");
  if (!link.empty() && link[0] == '/') link.erase(0, 1);
  std::string joined = base + link;
  const std::size_t scheme_end = joined.find("//");
  const std::size_t host_end = joined.find('/', scheme_end == std::string::npos ? 0 : scheme_end + 2);
  if (host_end == std::string::npos) return joined;
  return ResolveDotDot(joined, host_end + 1, '/');
}

}  // namespace

LinkVerdict CheckLink(const char* link_text) {
  if (link_text == nullptr || *link_text == '\0') return {LinkKind::kRefused, "the link is empty"};
  const std::string link = link_text;
  if (HasControlCharacter(link)) return {LinkKind::kRefused, "the link holds a control character"};
  if (link[0] == '#') {
    return LinkTopicNumber(link_text) >= 0 ? LinkVerdict{LinkKind::kTopic, ""}
                                           : LinkVerdict{LinkKind::kRefused, "not a topic number"};
  }
  if (StartsWithNoCase(link, "http:") || StartsWithNoCase(link, "https:") || StartsWithNoCase(link, "ftp:")) {
    return {LinkKind::kWeb, ""};
  }
  if (StartsWithNoCase(link, "mailto:")) return {LinkKind::kMail, ""};
  const bool drive_path = link.size() >= 3 && std::isalpha(static_cast<unsigned char>(link[0])) && link[1] == ':' &&
                          (link[2] == '\\' || link[2] == '/');
  if (drive_path) {
    return NamesHtmlPage(link) ? LinkVerdict{LinkKind::kLocalPage, ""}
                               : LinkVerdict{LinkKind::kRefused, "a local file that is not a page"};
  }
  const std::size_t colon = link.find(':');
  if (colon != std::string::npos && colon < link.find_first_of("/\\?#")) {
    return {LinkKind::kRefused, "the link's scheme is not allowed"};
  }
  if (link[0] == '/' || link[0] == '\\') return {LinkKind::kRefused, "a rooted or network path"};
  if (colon != std::string::npos) return {LinkKind::kRefused, "a page path holding a colon"};
  return NamesHtmlPage(link) ? LinkVerdict{LinkKind::kPage, ""} : LinkVerdict{LinkKind::kRefused, "not a page"};
}

int LinkTopicNumber(const char* link) {
  if (link == nullptr || link[0] != '#' || link[1] == '\0') return -1;
  long number = 0;
  for (const char* digit = link + 1; *digit != '\0'; ++digit) {
    if (*digit < '0' || *digit > '9') return -1;
    number = number * 10 + (*digit - '0');
    if (number >= kTopicNumberLimit) return -1;
  }
  return static_cast<int>(number);
}

std::string ResolveLink(const char* base_text, const char* link_text) {
  std::string link = link_text != nullptr ? link_text : "";
  if (StartsWithNoCase(link, "http:///")) {
    link.erase(0, 7);
  } else if (StartsWithNoCase(link, "https:///")) {
    link.erase(0, 8);
  }
  const std::string base = base_text != nullptr ? base_text : "";
  std::string resolved;
  // A topic link names a topic of the document shown, wherever it came from.
  if (base.empty() || IsWebOrMailLink(link) || (!link.empty() && link[0] == '#')) {
    resolved = link;
  } else if (base.size() >= 2 && base[1] == ':') {
    resolved = ResolveAgainstLocalBase(base, link);
  } else {
    resolved = ResolveAgainstWebBase(base, link);
  }
  return DropCurrentFolderSteps(resolved);
}

std::optional<std::string> BrowserTarget(const char* address, const char* current_folder) {
  if (address == nullptr || *address == '\0' || HasControlCharacter(address)) return std::nullopt;
  std::string target;
  if (std::strchr(address, ':') != nullptr) {
    target = address;
  } else {
    std::string folder = current_folder != nullptr ? current_folder : "";
    if (folder.size() > static_cast<std::size_t>(kMaxBrowserFolder)) folder.resize(kMaxBrowserFolder);
    target = folder + "\\" + address;
  }
  if (target.size() > static_cast<std::size_t>(kMaxBrowserAddress)) return std::nullopt;
  return target;
}

std::string BrowserServiceName(const char* browser_path) {
  const std::string path = browser_path != nullptr ? browser_path : "";
  const std::size_t separator = path.rfind('\\');
  if (separator == std::string::npos) return "netscape";
  const std::string name = path.substr(separator + 1);
  return name.substr(0, name.find('.'));
}

std::optional<std::string> QuoteCommandArgument(const std::string& argument) {
  if (HasControlCharacter(argument) || argument.find('"') != std::string::npos) return std::nullopt;
  std::string quoted = "\"" + argument;
  // Backslashes right before the closing quote would escape it.
  for (std::size_t i = argument.size(); i > 0 && argument[i - 1] == '\\'; --i) quoted += '\\';
  return quoted + "\"";
}
