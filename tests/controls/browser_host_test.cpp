// The browser host with stand-in browsers and documents: what reaches the
// document, the bounded wait for it, and the order of shutdown.
#include "controls/browser_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/atl_library.h"

namespace {

struct DocumentLog {
  std::wstring written;
  int writes = 0;
  int closes = 0;
  bool window_enabled_while_writing = true;
};

class FakeDocument : public HtmlDocumentSink {
 public:
  FakeDocument(DocumentLog* log, HWND window) : log_(log), window_(window) {}
  HRESULT Write(SAFEARRAY* text) override {
    ++log_->writes;
    log_->window_enabled_while_writing = IsWindowEnabled(window_) != FALSE;
    VARIANT* element = nullptr;
    if (FAILED(SafeArrayAccessData(text, reinterpret_cast<void**>(&element)))) return E_FAIL;
    if (element->vt == VT_BSTR) log_->written = element->bstrVal;
    SafeArrayUnaccessData(text);
    return S_OK;
  }
  HRESULT Close() override {
    ++log_->closes;
    return S_OK;
  }

 private:
  DocumentLog* log_;
  HWND window_;
};

// Busy for `busy_answers` questions, then has a document; `on_busy` runs on
// every busy answer, as a message dispatched during the wait would.
class FakeBrowser : public BrowserControl {
 public:
  FakeBrowser(DocumentLog* log, HWND window, int busy_answers) : log_(log), window_(window), busy_(busy_answers) {}
  ~FakeBrowser() override {
    if (on_release) on_release();
  }
  bool Busy() override {
    if (busy_ <= 0) return false;
    --busy_;
    if (on_busy) on_busy();
    return true;
  }
  HtmlDocumentSink* Document() override {
    ++document_requests;
    return busy_ > 0 || never_document ? nullptr : new FakeDocument(log_, window_);
  }

  std::function<void()> on_busy;
  std::function<void()> on_release;
  bool never_document = false;
  int document_requests = 0;

 private:
  DocumentLog* log_;
  HWND window_;
  int busy_;
};

HWND NewHostWindow() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
}

TEST(BrowserHost, WritesTheTextInTheRequestedCodePageWhileTheWindowIsDisabled) {
  const HWND window = NewHostWindow();
  DocumentLog log;
  BrowserHost host;
  AttachBrowserControl(&host, window, new FakeBrowser(&log, window, 0));
  // "\x82\xa0" is one hiragana letter in code page 932, two letters in 1252.
  EXPECT_EQ(WriteBrowserHtml(&host, "<p>\x82\xa0</p>", 932), 1);
  EXPECT_EQ(log.written, L"<p>\x3042</p>");
  EXPECT_EQ(log.closes, 1);
  EXPECT_FALSE(log.window_enabled_while_writing);
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_EQ(WriteBrowserHtml(&host, "\xe9", 1252), 1);
  EXPECT_EQ(log.written, L"\xe9");
  EXPECT_EQ(WriteBrowserHtml(&host, nullptr, kHtmlAnsiCodePage), 1);
  EXPECT_EQ(log.written, L"");
  DestroyWindow(window);
}

TEST(BrowserHost, NothingIsWrittenWithoutABrowserOrADocument) {
  const HWND window = NewHostWindow();
  BrowserHost empty;
  EXPECT_EQ(WriteBrowserHtml(&empty, "<p>x</p>", 1252), 0);
  DocumentLog log;
  BrowserHost host;
  auto* browser = new FakeBrowser(&log, window, 2);
  browser->never_document = true;
  AttachBrowserControl(&host, window, browser);
  EXPECT_EQ(WriteBrowserHtml(&host, "<p>x</p>", 1252), 0);
  EXPECT_EQ(log.writes, 0);
  EXPECT_GE(browser->document_requests, 2);  // asked again after the pause
  EXPECT_TRUE(IsWindowEnabled(window));
  DestroyWindow(window);
}

TEST(BrowserHost, TheWaitEndsWhenTheWindowGoesAndIsNeverNested) {
  const HWND window = NewHostWindow();
  DocumentLog log;
  BrowserHost host;
  auto* browser = new FakeBrowser(&log, window, 1000000);
  int nested_answers = 0;
  int busy_questions = 0;
  browser->on_busy = [&]() {
    // A message handled during the wait tries to write again, then closes
    // the window.
    ++busy_questions;
    nested_answers += WriteBrowserHtml(&host, "<p>again</p>", 1252) + 1;
    DestroyWindow(window);
  };
  AttachBrowserControl(&host, window, browser);
  EXPECT_EQ(WriteBrowserHtml(&host, "<p>x</p>", 1252), 0);
  EXPECT_EQ(busy_questions, 1);
  EXPECT_EQ(nested_answers, 1);  // the nested write gave 0 at once
  EXPECT_EQ(log.writes, 0);
}

TEST(BrowserHost, ABusyBrowserIsWaitedForBoundedly) {
  const HWND window = NewHostWindow();
  DocumentLog log;
  BrowserHost host;
  AttachBrowserControl(&host, window, new FakeBrowser(&log, window, 3));
  EXPECT_EQ(WriteBrowserHtml(&host, "<p>late</p>", 1252), 1);
  EXPECT_EQ(log.written, L"<p>late</p>");

  auto* forever = new FakeBrowser(&log, window, 1000000);
  AttachBrowserControl(&host, window, forever);
  HtmlDocumentSink* document = WaitForBrowserDocument(&host, 50);
  EXPECT_EQ(document, nullptr);
  DestroyWindow(window);
}

TEST(BrowserHost, HostsAreReleasedWhileTheHostingLibraryIsStillLoaded) {
  ASSERT_EQ(LoadAtl(), 1);
  EXPECT_TRUE(AtlEntryPointsComplete());
  DocumentLog log;
  BrowserHost first;
  BrowserHost second;
  bool library_loaded_at_release[2] = {false, false};
  for (int i = 0; i < 2; ++i) {
    auto* browser = new FakeBrowser(&log, nullptr, 0);
    browser->on_release = [&library_loaded_at_release, i]() {
      library_loaded_at_release[i] = AtlAxGetControlFunction() != nullptr && GetModuleHandleA("atl.dll") != nullptr;
    };
    AttachBrowserControl(i == 0 ? &first : &second, nullptr, browser);
  }
  EXPECT_EQ(AttachedBrowserHostCount(), 2);
  // The library's own release (as shutdown runs it) lets the hosts go first.
  UnloadAtlLibrary();
  EXPECT_TRUE(library_loaded_at_release[0]);
  EXPECT_TRUE(library_loaded_at_release[1]);
  EXPECT_EQ(first.browser, nullptr);
  EXPECT_EQ(second.browser, nullptr);
  EXPECT_EQ(AttachedBrowserHostCount(), 0);
  EXPECT_EQ(AtlAxGetControlFunction(), nullptr);
}

TEST(BrowserHost, AttachesToTheSystemBrowserControl) {
  ASSERT_EQ(LoadAtl(), 1);
  const HWND window =
      CreateWindowExA(0, "AtlAxWin", "Shell.Explorer", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  BrowserHost host;
  EXPECT_EQ(AttachBrowserHost(&host, window), 1);
  EXPECT_NE(host.browser, nullptr);
  EXPECT_EQ(AttachedBrowserHostCount(), 1);
  ReleaseBrowserHost(&host);
  EXPECT_EQ(AttachedBrowserHostCount(), 0);
  BrowserHost plain;
  const HWND other = NewHostWindow();
  EXPECT_EQ(AttachBrowserHost(&plain, other), 0);
  DestroyWindow(other);
  DestroyWindow(window);
  UnloadAtl();
}

}  // namespace
