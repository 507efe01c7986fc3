#include "controls/page_view.h"

#include <richedit.h>

#include <string>

#include "common/html_charset.h"
#include "controls/browser_host.h"
#include "controls/dialog_frame.h"
#include "controls/frame_control_list.h"
#include "controls/html_rich_text.h"

struct PageView {
  DialogFrame* frame = nullptr;
  int control_id = 0;
  PageViewOptions options;
  BrowserHost host;
  RichEditViewer* rich = nullptr;
};

namespace {

void DestroyPageView(void* object) { delete static_cast<PageView*>(object); }

bool IsRichEditWindow(HWND window) {
  char class_name[64] = "";
  GetClassNameA(window, class_name, sizeof(class_name));
  return _stricmp(class_name, RICHEDIT_CLASSA) == 0 || _stricmp(class_name, "RICHEDIT") == 0 ||
         _stricmp(class_name, "RichEdit20W") == 0;
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
    AttachBrowserHost(&view->host, window);
  }
  return view;
}

int ShowPage(PageView* view, const char* html, const char* base) {
  if (view == nullptr || view->frame->window == nullptr) return 0;
  const HWND dialog = view->frame->window;
  const int code_page = HtmlCharsetCodePage(html);
  if (view->host.browser != nullptr && WriteBrowserHtml(&view->host, html, code_page)) return 1;
  // Waiting for the browser dispatches messages: the dialog, and the view
  // with it, may be gone now.
  if (!IsWindow(dialog)) return 0;
  if (view->rich == nullptr && !ReplaceWithRichEdit(view)) return 0;
  return SetRichViewerText(view->rich, HtmlToRichText(html, code_page).c_str(), base);
}

RichEditViewer* PageViewRichViewer(const PageView* view) { return view != nullptr ? view->rich : nullptr; }

bool PageViewUsesBrowser(const PageView* view) { return view != nullptr && view->host.browser != nullptr; }
