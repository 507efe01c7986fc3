// The help and tips windows: their dialog procedures, how they are opened,
// and the frame's help slots.
#include <windows.h>

#include <cstring>

#include "common/atl_library.h"
#include "common/common_library.h"
#include "controls/browser_host.h"
#include "controls/browser_launcher.h"
#include "controls/dialog_frame.h"
#include "controls/frame_help_pane.h"
#include "controls/dialog_resources.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "controls/help_window_layouts.h"
#include "controls/layout_engine.h"
#include "controls/page_view.h"
#include "controls/rich_edit_viewer.h"
#include "controls/status_bar.h"
#include "dialogs/dialog_ids.h"

namespace {

constexpr COLORREF kViewerBackground = RGB(255, 255, 230);
constexpr char kDialogLibrary[] = "VelmaronDialogs.dll";
// Posted to a viewer window to show a topic once the link click that asked
// for it has been handled (the viewer's links are replaced by the new topic).
constexpr UINT kShowLinkedTopic = WM_APP + 61;

HelpDoc* DocOf(DialogFrame* frame) { return static_cast<HelpDoc*>(frame->owner_param); }

// Topic links are followed once the click has been handled (showing a topic
// replaces the links the viewer is working through); other links are left
// to the viewer, which opens them in the browser.
int OnLinkClick(void* owner, RichEditViewer*, const RichLink& link) {
  auto* doc = static_cast<HelpDoc*>(owner);
  HWND window = HelpDocumentWindow(doc);
  const int topic = HelpLinkTopic(doc, link.url.c_str());
  if (window == nullptr || topic <= 0) return 0;
  PostMessageA(window, kShowLinkedTopic, static_cast<WPARAM>(topic), 0);
  return 1;
}

// A plain document needs a rich edit control where the template has a
// placeholder.
RichEditViewer* CreatePlainViewer(DialogFrame* frame) {
  HWND placeholder = GetDlgItem(frame->window, IDC_VIEWER_AREA);
  if (placeholder == nullptr) return nullptr;
  RECT area = {};
  GetWindowRect(placeholder, &area);
  MapWindowPoints(nullptr, frame->window, reinterpret_cast<POINT*>(&area), 2);
  DestroyWindow(placeholder);
  const char* window_class = RichEditClassName();
  HWND edit = CreateWindowExA(WS_EX_STATICEDGE, window_class, "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                              area.left, area.top, area.right - area.left, area.bottom - area.top, frame->window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VIEWER_AREA)), GetModuleHandleA(nullptr),
                              nullptr);
  if (edit == nullptr) return nullptr;
  return CreateRichEditViewer(frame, IDC_VIEWER_AREA, kRichViewerLinks);
}

// What both windows do when they open: the viewer with its links and
// background.
void InitialiseViewer(DialogFrame* frame, HelpDoc* doc) {
  if (HWND area = GetDlgItem(frame->window, IDC_VIEWER_AREA)) {
    SetWindowLongPtrA(area, GWL_EXSTYLE, GetWindowLongPtrA(area, GWL_EXSTYLE) | WS_EX_STATICEDGE);
  }
  doc->page_view = nullptr;
  doc->rich_viewer = nullptr;
  if (doc->topics.html_mode()) {
    PageViewOptions options;
    options.link_handler = OnLinkClick;
    options.link_owner = doc;
    options.background = kViewerBackground;
    doc->page_view = AttachPageView(frame, IDC_VIEWER_AREA, options);
  } else if ((doc->rich_viewer = CreatePlainViewer(frame)) != nullptr) {
    SetRichViewerLinkHandler(doc->rich_viewer, OnLinkClick, doc);
    SetRichViewerBackground(doc->rich_viewer, kViewerBackground);
  }
}

void ForgetViewer(HelpDoc* doc) {
  if (doc == nullptr) return;
  doc->page_view = nullptr;
  doc->rich_viewer = nullptr;
}

int HandleLinkedTopic(DialogFrame* frame, WPARAM topic) {
  if (HelpDoc* doc = DocOf(frame)) FollowHelpTopicLink(doc, static_cast<int>(topic));
  return 1;
}

// Messages both windows answer alike; true when handled, with the answer in
// *result.
bool CommonViewerMessage(DialogFrame* frame, UINT message, WPARAM wparam, int* result) {
  *result = 0;
  switch (message) {
    case kShowLinkedTopic:
      *result = HandleLinkedTopic(frame, wparam);
      return true;
    case WM_COMMAND:
      if (LOWORD(wparam) != IDCANCEL) return false;
      CloseDialogFrame(frame, 0);
      *result = 1;
      return true;
    case WM_DESTROY:
      ForgetViewer(DocOf(frame));
      return true;
    default:
      return false;
  }
}

int HelpWindowProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM) {
  HelpDoc* doc = DocOf(frame);
  int result = 0;
  if (CommonViewerMessage(frame, message, wparam, &result)) return result;
  switch (message) {
    case WM_INITDIALOG: {
      if (doc == nullptr) return 1;
      InitialiseViewer(frame, doc);
      const char* product = LibraryProductName();
      SetDlgItemTextA(frame->window, IDC_HELP_TITLE, product != nullptr && *product ? product : "Velmaron");
      SetActiveWindow(frame->window);
      SetFocus(frame->window);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_HELP_BACK) {
        HelpBack(doc);
        return 1;
      }
      if (LOWORD(wparam) == IDC_HELP_FORWARD) {
        HelpForward(doc);
        return 1;
      }
      return 0;
    case WM_SIZE:
      if (wparam == SIZE_MINIMIZED) CloseDialogFrame(frame, 0);
      return 0;
    default:
      return 0;
  }
}

void StepTips(DialogFrame* frame, HelpDoc* doc, int command) {
  switch (command) {
    case IDC_TIPS_PREVIOUS: {
      const int previous = doc->return_topic != 0 ? doc->return_topic : doc->current_topic - 1;
      doc->return_topic = 0;
      if (previous >= 1) ShowHelpTopic(doc, previous);
      break;
    }
    case IDC_TIPS_NEXT:
      doc->return_topic = 0;
      ShowHelpTopic(doc, doc->current_topic + 1);
      break;
    case IDC_TIPS_AT_STARTUP:
      if (IsDlgButtonChecked(frame->window, IDC_TIPS_AT_STARTUP) == BST_CHECKED) {
        doc->flags |= kHelpTipsAtStartup;
      } else {
        doc->flags &= ~static_cast<unsigned>(kHelpTipsAtStartup);
      }
      break;
    default:
      break;
  }
}

int TipsWindowProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM) {
  HelpDoc* doc = DocOf(frame);
  int result = 0;
  // The Close button ends the window as its close box does: no tip is on
  // display any more.
  const bool close_button = message == WM_COMMAND && LOWORD(wparam) == IDCANCEL;
  if ((message == WM_CLOSE || close_button) && doc != nullptr) doc->current_topic = 0;
  if (CommonViewerMessage(frame, message, wparam, &result)) return result;
  if (doc == nullptr) return message == WM_INITDIALOG ? 1 : 0;
  switch (message) {
    case WM_INITDIALOG:
      InitialiseViewer(frame, doc);
      SendDlgItemMessageA(frame->window, IDC_TIPS_PICTURE, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_INFORMATION)), 0);
      CheckDlgButton(frame->window, IDC_TIPS_AT_STARTUP,
                     (doc->flags & kHelpTipsAtStartup) ? BST_CHECKED : BST_UNCHECKED);
      return 1;
    case WM_COMMAND: {
      const int command = LOWORD(wparam);
      if (command != IDC_TIPS_PREVIOUS && command != IDC_TIPS_NEXT && command != IDC_TIPS_AT_STARTUP) return 0;
      StepTips(frame, doc, command);
      return 1;
    }
    default:
      return 0;
  }
}

// Closes the window of the document's frame, whichever document it shows.
void CloseFrameWindow(HelpDoc* doc) {
  if (doc->frame != nullptr && doc->frame->window != nullptr) DestroyWindow(doc->frame->window);
}

// The status bar has one part, across the whole width.
void SizeStatusBar(DialogFrame* frame, int) { SetStatusParts(frame, {-1}); }

struct ViewerWindowKind {
  int plain_template;
  int html_template;
  FrameProc procedure;
  const int32_t (*layout)[kLayoutFieldCount];
  std::size_t layout_rows;
};

const ViewerWindowKind kHelpWindowKind = {IDD_HELP_PLAIN, IDD_HELP_HTML, HelpWindowProc, kHelpWindowLayout,
                                          kHelpWindowLayoutRows};
const ViewerWindowKind kTipsWindowKind = {IDD_TIPS_PLAIN, IDD_TIPS_HTML, TipsWindowProc, kTipsWindowLayout,
                                          kTipsWindowLayoutRows};

bool CreateViewerWindow(DialogFrame* owner, HelpDoc* doc, const ViewerWindowKind& kind) {
  const bool html_mode = doc->topics.html_mode();
  if (html_mode) LoadAtl();
  char reference[64];
  wsprintfA(reference, "%s?#%d", kDialogLibrary, html_mode ? kind.html_template : kind.plain_template);
  // The frame outlives its windows: the bar record of an earlier window
  // would still name that window's (destroyed) bar, so each window gets a
  // fresh one, and a fresh layout measured on its own controls.
  AddStatusBar(doc->frame, 1, SizeStatusBar);
  SetFrameLayout(doc->frame, kind.layout, kind.layout_rows);
  doc->frame->help_muted = 1;
  DialogRequest request;
  request.holder = &doc->frame;
  request.procedure = kind.procedure;
  request.modal = false;
  request.user_data = doc;
  if (CreateDialogFromReference(request, reference) == 0 || doc->frame->window == nullptr) return false;
  // Owned by the window it was opened from, so that it stays in front of it
  // (and goes with it); not a child dialog, which would share its help.
  if (owner != nullptr && owner->window != nullptr) {
    SetWindowLongPtrA(doc->frame->window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner->window));
  }
  return true;
}

void* OpenHelpPane(DialogFrame* owner, const char* help_file) {
  HelpDoc* doc = OpenHelpDocument(help_file, kHelpPaneResourceId, kHelpPaneFlags);
  if (doc != nullptr) doc->owner_frame = owner;
  return doc;
}

void ShowPaneTopic(void* pane, int topic) { ShowHelpTopic(static_cast<HelpDoc*>(pane), topic); }

void OpenFrameHelpWindow(DialogFrame* frame, int id) {
  if (frame == nullptr || frame->help_pane == nullptr) return;
  OpenHelpWindow(frame, static_cast<HelpDoc*>(frame->help_pane), id);
}

void ClosePane(void* pane) { CloseHelpDocument(static_cast<HelpDoc*>(pane)); }

}  // namespace

void OpenHelpWindow(DialogFrame* owner, HelpDoc* doc, int id) {
  if (doc == nullptr) return;
  CloseFrameWindow(doc);
  doc->current_topic = -1;
  if (doc->flags & kHelpTipsStyle) {
    OpenTipsWindow(owner, doc, 1);
    return;
  }
  doc->owner_frame = owner;
  if (!CreateViewerWindow(owner, doc, kHelpWindowKind)) return;
  HWND window = doc->frame->window;
  if (doc->topics.html_mode() && doc->page_view != nullptr)
    ShowPage(doc->page_view, "<HTML><BODY></BODY></HTML>", nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  doc->frame->show_state = kShowNormal;
  if (owner != nullptr) {
    ShowContextHelp(owner, id);
    // An id without a topic of its own shows the owner's.
    if (doc->current_topic == -1) ShowContextHelp(owner, owner->dialog_id);
  }
}

void OpenTipsWindow(DialogFrame* owner, HelpDoc* doc, int topic) {
  if (doc == nullptr || topic == 0) return;
  CloseFrameWindow(doc);
  doc->owner_frame = owner;
  doc->current_topic = -1;
  if (!CreateViewerWindow(owner, doc, kTipsWindowKind)) return;
  ShowWindow(doc->frame->window, SW_SHOWNORMAL);
  if (!ShowHelpTopic(doc, topic)) ShowHelpTopic(doc, 1);
}

void InstallHelpViewer() {
  FrameServices& services = FrameServicesTable();
  services.open_help_pane = OpenHelpPane;
  services.show_help_topic = ShowPaneTopic;
  services.open_help_window = OpenFrameHelpWindow;
  services.close_help_pane = ClosePane;
}
