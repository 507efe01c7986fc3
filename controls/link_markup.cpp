#include "controls/link_markup.h"

#include <cwctype>

namespace {

constexpr std::size_t kMaxHref = 1024;
constexpr std::size_t kMaxTitle = 50;

wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::size_t FindNoCase(const std::wstring& text, const wchar_t* word, std::size_t from) {
  for (std::size_t at = from; at < text.size(); ++at) {
    std::size_t i = 0;
    while (word[i] != L'\0' && at + i < text.size() && Lower(text[at + i]) == word[i]) ++i;
    if (word[i] == L'\0') return at;
  }
  return std::wstring::npos;
}

// The HREF value of the tag starting at `tag`; *tag_end receives the ">"
// that ends the tag.  Empty when there is none to read.
std::wstring ReadHref(const std::wstring& text, std::size_t tag, std::size_t* tag_end) {
  const std::size_t close = text.find(L'>', tag);
  const std::size_t href = FindNoCase(text, L"href", tag);
  if (href == std::wstring::npos || close == std::wstring::npos || href > close) return L"";
  std::size_t i = href + 4;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i >= text.size() || text[i] != L'=') return L"";
  ++i;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::wstring value;
  if (i < text.size() && (text[i] == L'"' || text[i] == L'\'')) {
    const std::size_t quote_end = text.find(text[i], i + 1);
    if (quote_end == std::wstring::npos) return L"";
    value = text.substr(i + 1, quote_end - i - 1);
    i = quote_end + 1;
  } else {
    const std::size_t value_end = text.find_first_of(L" \t\r\n>", i);
    value = text.substr(i, value_end == std::wstring::npos ? std::wstring::npos : value_end - i);
    i = value_end == std::wstring::npos ? text.size() : value_end;
  }
  *tag_end = text.find(L'>', i);
  if (*tag_end == std::wstring::npos) return L"";
  const std::size_t cut = value.find(L'>');
  if (cut != std::wstring::npos) value.resize(cut);
  if (value.size() > kMaxHref) value.resize(kMaxHref);
  return value;
}

std::wstring TitleOf(const std::wstring& raw, const std::wstring& href) {
  if (raw.empty()) {
    const std::size_t slash = href.find_last_of(L'/');
    const std::wstring tail = slash == std::wstring::npos ? href : href.substr(slash + 1);
    return tail.empty() ? L"No Title" : tail.substr(0, kMaxTitle);
  }
  std::size_t i = 0;
  for (;;) {
    while (i < raw.size() && IsBlank(raw[i])) ++i;
    const wchar_t opener = i < raw.size() ? raw[i] : L'\0';
    if (opener != L'&' && opener != L'<') break;
    const std::size_t stop = raw.find(opener == L'&' ? L';' : L'>', i);
    if (stop == std::wstring::npos) break;
    i = stop + 1;
  }
  std::wstring title = raw.substr(i);
  for (wchar_t& c : title) {
    if (c == L'<' || c == L'>' || c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
  }
  const std::size_t first = title.find_first_not_of(L' ');
  if (first == std::wstring::npos) return L"No Title";
  title = title.substr(first, title.find_last_not_of(L' ') - first + 1);
  if (title.size() > kMaxTitle) {
    title.resize(kMaxTitle);
    title.resize(title.find_last_not_of(L' ') + 1);
  }
  return title;
}

}  // namespace

std::vector<LinkMarkup> FindLinkMarkup(const std::wstring& text) {
  std::vector<LinkMarkup> links;
  std::size_t from = 0;
  for (;;) {
    const std::size_t tag = FindNoCase(text, L"<a", from);
    if (tag == std::wstring::npos) break;
    from = tag + 2;
    if (from >= text.size() || !IsBlank(text[from])) continue;
    std::size_t tag_end = 0;
    const std::wstring href = ReadHref(text, tag, &tag_end);
    if (href.empty()) continue;
    const std::size_t close = FindNoCase(text, L"</a>", tag_end + 1);
    if (close == std::wstring::npos) break;
    // A second opening tag before the close makes the first one plain text.
    const std::size_t next_open = FindNoCase(text, L"<a ", tag_end + 1);
    if (next_open != std::wstring::npos && next_open < close) continue;
    links.push_back({tag, close + 4, href, TitleOf(text.substr(tag_end + 1, close - tag_end - 1), href)});
    from = close + 4;
  }
  return links;
}
