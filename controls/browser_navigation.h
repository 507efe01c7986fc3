// What a navigation the web browser control is about to make means for a
// page written into it: its own blank page is let through, anything else is
// a link the reader followed, which the program handles itself.
#pragma once

#include <string>

struct BrowserNavigation {
  bool own_page = false;  // the control's blank page, which the written page lives in
  std::string link;       // otherwise the link as the page wrote it
};

// Reads an address the control reports before navigating.  A link written
// into the blank page comes back resolved against "about:blank" (a topic
// link "#7" as "about:blank#7", a page "a.htm" as "about:a.htm"), and a
// local page as a "file:" URL; each is given back as the page wrote it or as
// a local path, so that the same rules apply as to links in rich text.
BrowserNavigation ReadBrowserNavigation(const std::string& url);
