#include "controls/page_view.h"

#include <richedit.h>

#include <string>

#include "common/html_charset.h"
#include "common/url_links.h"
#include "controls/browser_host.h"
#include "controls/browser_navigation.h"
#include "controls/dialog_frame.h"
#include "controls/frame_control_list.h"
#include "controls/html_rich_text.h"

struct PageView {
  DialogFrame* frame = nullptr;
  int control_id = 0;
  PageViewOptions options;
  BrowserHost host;
  RichEditViewer* rich = nullptr;
  std::string base;  // of the page shown, for its relative links
};

namespace {

void DestroyPageView(void* object) { delete static_cast<PageView*>(object); }

bool IsRichEditWindow(HWND window) {
  char class_name[64] = "";
  GetClassNameA(window, class_name, sizeof(class_name));
  return _stricmp(class_name, RICHEDIT_CLASSA) == 0 || _stricmp(class_name, "RICHEDIT") == 0 ||
         _stricmp(class_name, "RichEdit20W") == 0;
}

// Any navigation but to the control's own blank page is cancelled: the page
// was written into that one, and a link leads elsewhere, not in its place.
bool OnBrowserNavigation(void* owner, const std::string& url) {
  auto* view = static_cast<PageView*>(owner);
  const BrowserNavigation navigation = ReadBrowserNavigation(url);
  if (navigation.own_page) return false;
  const LinkVerdict verdict = CheckLink(navigation.link.c_str());
  if (!verdict.allowed()) return true;
  // A local page reached through a file address is a whole path already.
  const std::string target =
      verdict.kind == LinkKind::kLocalPage ? navigation.link : ResolveLink(view->base.c_str(), navigation.link.c_str());
  const RichLink link = {target, 0, 0};
  if (view->options.link_handler != nullptr && view->options.link_handler(view->options.link_owner, nullptr, link)) {
    return true;
  }
  OpenRichLink(view->frame->window, link);
  return true;
}

bool UseRichViewer(PageView* view) {
  view->rich = CreateRichEditViewer(view->frame, view->control_id, kRichViewerLinks);
  if (view->rich == nullptr) return false;
  SetRichViewerLinkHandler(view->rich, view->options.link_handler, view->options.link_owner);
  SetRichViewerBackground(view->rich, view->options.background);
  return true;
}

// Puts a read-only rich edit control with the same id, place and frame
// style where the viewer control was, so that layouts and lookups by id
// find it instead.
bool ReplaceWithRichEdit(PageView* view) {
  ReleaseBrowserHost(&view->host);
  const HWND dialog = view->frame->window;
  const HWND old = GetDlgItem(dialog, view->control_id);
  if (old == nullptr || !LoadRichEditLibraries()) return false;
  RECT place = {};
  GetWindowRect(old, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  const DWORD visible = GetWindowLongA(old, GWL_STYLE) & WS_VISIBLE;
  const DWORD extended = GetWindowLongA(old, GWL_EXSTYLE) & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE);
  const HWND rich = CreateWindowExA(
      extended, RichEditClassName(), "", WS_CHILD | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | visible,
      place.left, place.top, place.right - place.left, place.bottom - place.top, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(view->control_id)), GetModuleHandleA(nullptr), nullptr);
  if (rich == nullptr) return false;
  SetWindowPos(rich, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(rich, WM_SETFONT, static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0)), FALSE);
  DestroyWindow(old);
  return UseRichViewer(view);
}

}  // namespace

PageView* AttachPageView(DialogFrame* frame, int control_id, const PageViewOptions& options) {
  if (frame == nullptr || frame->window == nullptr) return nullptr;
  const HWND window = GetDlgItem(frame->window, control_id);
  if (window == nullptr) return nullptr;
  auto* view = new PageView;
  view->frame = frame;
  view->control_id = control_id;
  view->options = options;
  if (AddFrameControl(frame, view, control_id, window, kFrameCommandHook, nullptr, DestroyPageView) == nullptr) {
    delete view;
    return nullptr;
  }
  if (IsRichEditWindow(window)) {
    UseRichViewer(view);
  } else {
    view->host.navigation_handler = OnBrowserNavigation;
    view->host.navigation_owner = view;
    AttachBrowserHost(&view->host, window);
  }
  return view;
}

int ShowPage(PageView* view, const char* html, const char* base) {
  if (view == nullptr || view->frame->window == nullptr) return 0;
  const HWND dialog = view->frame->window;
  const int code_page = HtmlCharsetCodePage(html);
  view->base = base != nullptr ? base : "";
  if (view->host.browser != nullptr && WriteBrowserHtml(&view->host, html, code_page)) return 1;
  // Waiting for the browser dispatches messages: the dialog, and the view
  // with it, may be gone now.
  if (!IsWindow(dialog)) return 0;
  if (view->rich == nullptr && !ReplaceWithRichEdit(view)) return 0;
  return SetRichViewerText(view->rich, HtmlToRichText(html, code_page).c_str(), base);
}

RichEditViewer* PageViewRichViewer(const PageView* view) { return view != nullptr ? view->rich : nullptr; }

bool PageViewUsesBrowser(const PageView* view) { return view != nullptr && view->host.browser != nullptr; }
