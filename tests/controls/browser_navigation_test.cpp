#include "controls/browser_navigation.h"

#include <gtest/gtest.h>

namespace {

TEST(BrowserNavigation, AddressesAreReadAsTheLinksThePageWrote) {
  struct Case {
    const char* url;
    bool own_page;
    const char* link;
  };
  const Case cases[] = {
      {"about:blank", true, ""},
      {"ABOUT:BLANK", true, ""},
      {"", true, ""},
      {"about:blank#12", false, "#12"},
      {"about:blankety.htm", false, "blankety.htm"},
      {"about:page.htm", false, "page.htm"},
      {"about:../up.htm", false, "../up.htm"},
      {"http://example.com/a.htm#x", false, "http://example.com/a.htm#x"},
      {"javascript:alert(1)", false, "javascript:alert(1)"},
      {"mailto:a@example.com", false, "mailto:a@example.com"},
      {"file:///C:/Prog/help%20two.htm", false, "C:\\Prog\\help two.htm"},
      {"file://C:/Prog/a.htm", false, "C:\\Prog\\a.htm"},
      {"file:///C|/Prog/a.htm", false, "C:\\Prog\\a.htm"},
      {"FILE:///D:/x.htm", false, "D:\\x.htm"},
      // A host name stays a network path, and an escaped control character
      // stays escaped: the link rules refuse both.
      {"file://server/share/a.htm", false, "\\\\server\\share\\a.htm"},
      {"file:///C:/a%0Ab.htm", false, "C:\\a%0Ab.htm"},
      {"file:///C:/a%2", false, "C:\\a%2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const BrowserNavigation navigation = ReadBrowserNavigation(c.url);
    EXPECT_EQ(navigation.own_page, c.own_page);
    EXPECT_EQ(navigation.link, c.link);
  }
}

}  // namespace
