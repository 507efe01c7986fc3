// Link markup found in a control's text: addresses, titles and places.
#include "controls/link_markup.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TitleCase {
  const wchar_t* text;
  const wchar_t* href;
  const wchar_t* title;
};

const TitleCase kCases[] = {
    {L"<A HREF=\"#12\">Next topic</A>", L"#12", L"Next topic"},
    {L"<a href='page.htm'>  Page  </a>", L"page.htm", L"Page"},
    {L"<A HREF=http://h/x.htm target=_blank>Web</A>", L"http://h/x.htm", L"Web"},
    {L"<A HREF=\"http://h/a>b\">T</A>", L"http://h/a", L"T"},
    {L"<A HREF = \"#3\">&nbsp;<b>Bold</b> x</A>", L"#3", L"Bold /b  x"},
    {L"<A HREF=\"http://h/dir/file.htm\"></A>", L"http://h/dir/file.htm", L"file.htm"},
    {L"<A HREF=\"http://h/dir/\"></A>", L"http://h/dir/", L"No Title"},
    {L"<A HREF=\"#4\"> <i></i> </A>", L"#4", L"No Title"},
    {L"<A HREF=\"#5\">a\rb</A>", L"#5", L"a b"},
};

TEST(FindLinkMarkup, AddressesAndTitles) {
  for (const TitleCase& c : kCases) {
    const std::vector<LinkMarkup> links = FindLinkMarkup(c.text);
    ASSERT_EQ(links.size(), 1u) << std::wstring(c.text).size();
    EXPECT_EQ(links[0].href, c.href);
    EXPECT_EQ(links[0].title, c.title);
    EXPECT_EQ(links[0].start, 0u);
    EXPECT_EQ(links[0].end, std::wstring(c.text).size());
  }
}

TEST(FindLinkMarkup, PlacesInLongerTextAndLimits) {
  const std::wstring text = L"See <A HREF=\"#1\">one</A> and <A HREF=\"#2\">two</A>.";
  const std::vector<LinkMarkup> links = FindLinkMarkup(text);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(text.substr(links[0].start, links[0].end - links[0].start), L"<A HREF=\"#1\">one</A>");
  EXPECT_EQ(text.substr(links[1].start, links[1].end - links[1].start), L"<A HREF=\"#2\">two</A>");

  const std::wstring long_title(80, L'w');
  const std::vector<LinkMarkup> cut = FindLinkMarkup(L"<A HREF=\"#1\">" + long_title + L"</A>");
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].title, long_title.substr(0, 50));
  const std::wstring long_href(2000, L'h');
  const std::vector<LinkMarkup> cut_href = FindLinkMarkup(L"<A HREF=\"" + long_href + L"\">x</A>");
  ASSERT_EQ(cut_href.size(), 1u);
  EXPECT_EQ(cut_href[0].href.size(), 1024u);
}

TEST(FindLinkMarkup, UnreadableMarkupStaysText) {
  EXPECT_TRUE(FindLinkMarkup(L"<A NAME=\"x\">anchor</A>").empty());
  EXPECT_TRUE(FindLinkMarkup(L"<A HREF=\"#1\">never closed").empty());
  EXPECT_TRUE(FindLinkMarkup(L"<A HREF=\"#1 unterminated>x</A>").empty());
  EXPECT_TRUE(FindLinkMarkup(L"<ABBR HREF=\"#1\">x</ABBR>").empty());
  EXPECT_TRUE(FindLinkMarkup(L"<A HREF=>x</A>").empty());
  EXPECT_TRUE(FindLinkMarkup(L"").empty());
  const std::vector<LinkMarkup> inner = FindLinkMarkup(L"<A HREF=\"#1\">a <A HREF=\"#2\">b</A>");
  ASSERT_EQ(inner.size(), 1u);
  EXPECT_EQ(inner[0].href, L"#2");
}

}  // namespace
