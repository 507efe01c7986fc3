#include "controls/rich_edit_viewer.h"

#include <cstring>

#include "common/url_links.h"
#include "controls/browser_launcher.h"
#include "controls/dialog_frame.h"
#include "controls/frame_control_list.h"
#include "controls/link_markup.h"
#include "controls/rich_edit_viewer_internal.h"

namespace {

constexpr LONG kLongestLinkClick = 500;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr UINT kUnicodeCodePage = 1200;

HMODULE g_riched20 = nullptr;
HMODULE g_riched32 = nullptr;
bool g_libraries_tried = false;
RichLinkOpener g_opener = nullptr;
RichBrowserSetting g_browser_setting = nullptr;

int OpenInBrowser(HWND owner, const RichLink& link) {
  const std::string browser = g_browser_setting != nullptr ? g_browser_setting() : std::string();
  return OpenCheckedLink(owner, browser.empty() ? nullptr : browser.c_str(), nullptr, link.url.c_str(),
                         kBrowserStartProgram);
}

struct StreamSource {
  const char* text;
  std::size_t length;
  std::size_t position;
};

DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  const std::size_t left = source->length - source->position;
  const std::size_t piece = left < static_cast<std::size_t>(wanted) ? left : static_cast<std::size_t>(wanted);
  std::memcpy(buffer, source->text + source->position, piece);
  source->position += piece;
  *given = static_cast<LONG>(piece);
  return 0;
}

std::wstring ControlText(HWND window) { return ReadRichText(window, RichTextLength(window), GT_DEFAULT); }

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return "";
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return "";
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &narrow[0], size, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(size) - 1);
  return narrow;
}

void ReplaceRange(HWND window, LONG first, LONG last, const std::wstring& text) {
  CHARRANGE range = {first, last};
  SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SETTEXTEX replace = {ST_SELECTION, kUnicodeCodePage};
  SendMessageW(window, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&replace), reinterpret_cast<LPARAM>(text.c_str()));
}

void MarkAsLink(HWND window, LONG first, LONG last) {
  CHARRANGE range = {first, last};
  SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_LINK | CFM_UNDERLINE | CFM_COLOR;
  format.dwEffects = CFE_LINK | CFE_UNDERLINE;
  format.crTextColor = kLinkColour;
  SendMessageW(window, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// Every piece of link markup becomes its title.  A link that may not be
// followed keeps its title as plain text and gets no record.
void ConvertLinks(RichEditViewer* viewer, const char* base) {
  const std::vector<LinkMarkup> found = FindLinkMarkup(ControlText(viewer->window));
  long shift = 0;
  for (const LinkMarkup& markup : found) {
    const LONG first = static_cast<LONG>(static_cast<long>(markup.start) + shift);
    const LONG last = static_cast<LONG>(static_cast<long>(markup.end) + shift);
    ReplaceRange(viewer->window, first, last, markup.title);
    const LONG title_end = first + static_cast<LONG>(markup.title.size());
    shift += static_cast<long>(markup.title.size()) - static_cast<long>(markup.end - markup.start);
    const std::string href = Narrow(markup.href);
    if (!CheckLink(href.c_str()).allowed()) continue;
    MarkAsLink(viewer->window, first, title_end);
    viewer->links.push_back({ResolveLink(base, href.c_str()), first, title_end});
  }
}

int HandleViewerMessage(void* object, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* viewer = static_cast<RichEditViewer*>(object);
  if (message == WM_COMMAND) {
    if (HIWORD(wparam) == EN_CHANGE && reinterpret_cast<HWND>(lparam) == viewer->window) NoteViewerChange(viewer);
    return 0;
  }
  if (message != WM_NOTIFY || lparam == 0) return 0;
  const auto* header = reinterpret_cast<const NMHDR*>(lparam);
  if (header->hwndFrom != viewer->window) return 0;
  if (header->code == EN_MSGFILTER) {
    if (!FilterViewerInput(viewer, *reinterpret_cast<const MSGFILTER*>(lparam))) return 0;
    // The nonzero answer tells the control to ignore the message.
    SetWindowLongPtrA(GetParent(viewer->window), DWLP_MSGRESULT, 1);
    return 1;
  }
  if (header->code != EN_LINK) return 0;
  const auto* link = reinterpret_cast<const ENLINK*>(lparam);
  if (link->msg != WM_LBUTTONDOWN || viewer->links.empty()) return 0;
  return FollowRichViewerLink(viewer, link->chrg.cpMin, link->chrg.cpMax);
}

void DestroyViewerObject(void* object) { delete static_cast<RichEditViewer*>(object); }

}  // namespace

LONG RichTextLength(HWND window) {
  GETTEXTLENGTHEX request = {GTL_DEFAULT | GTL_NUMCHARS, kUnicodeCodePage};
  const LRESULT length = SendMessageW(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0);
  return length > 0 ? static_cast<LONG>(length) : 0;
}

std::wstring ReadRichText(HWND window, LONG length, DWORD flags) {
  if (length <= 0) return L"";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GETTEXTEX request = {};
  request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  request.flags = flags;
  request.codepage = kUnicodeCodePage;
  const LRESULT copied =
      SendMessageW(window, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

int LoadRichEditLibraries() {
  if (!g_libraries_tried) {
    g_libraries_tried = true;
    g_riched32 = LoadLibraryA("riched32.dll");
    g_riched20 = LoadLibraryA("riched20.dll");
  }
  return g_riched20 != nullptr || g_riched32 != nullptr ? 1 : 0;
}

const char* RichEditClassName() {
  LoadRichEditLibraries();
  return g_riched20 != nullptr ? RICHEDIT_CLASSA : "RICHEDIT";
}

RichEditViewer* CreateRichEditViewer(DialogFrame* frame, int control_id, unsigned flags) {
  if (frame == nullptr || frame->window == nullptr || !LoadRichEditLibraries()) return nullptr;
  const HWND window = GetDlgItem(frame->window, control_id);
  if (window == nullptr) return nullptr;
  auto* viewer = new RichEditViewer;
  viewer->window = window;
  viewer->flags = flags;
  // The older format record is the one both library versions take.
  CHARFORMATA format = {};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = RGB(0, 0, 0);
  SendMessageA(window, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  SendMessageA(window, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  if (g_riched20 != nullptr && (flags & kRichViewerDetectUrls) != 0) SendMessageA(window, EM_AUTOURLDETECT, TRUE, 0);
  LPARAM events = SendMessageA(window, EM_GETEVENTMASK, 0, 0) | ENM_CHANGE | ENM_KEYEVENTS | ENM_MOUSEEVENTS;
  if ((flags & kRichViewerLinks) != 0) events |= ENM_LINK;
  SendMessageA(window, EM_SETEVENTMASK, 0, events);
  if (AddFrameControl(frame, viewer, control_id, window, kFrameCommandHook, HandleViewerMessage, DestroyViewerObject) ==
      nullptr) {
    delete viewer;
    return nullptr;
  }
  return viewer;
}

void DestroyRichEditViewer(RichEditViewer* viewer) { delete viewer; }

int SetRichViewerText(RichEditViewer* viewer, const char* rtf, const char* base) {
  if (viewer == nullptr || viewer->window == nullptr) return 0;
  const HWND focus = GetFocus();
  StreamSource source = {rtf != nullptr ? rtf : "", rtf != nullptr ? std::strlen(rtf) : 0, 0};
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadPiece;
  SendMessageA(viewer->window, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  const bool streamed = stream.dwError == 0;
  viewer->links.clear();
  viewer->applying_edit = true;
  if ((viewer->flags & kRichViewerLinks) != 0) ConvertLinks(viewer, base);
  viewer->applying_edit = false;
  viewer->history.Clear();
  // The links are part of the text as set, not a change of the user's.
  SendMessageA(viewer->window, EM_SETMODIFY, FALSE, 0);
  SendMessageA(viewer->window, EM_SETSEL, 0, 0);
  SendMessageA(viewer->window, WM_VSCROLL, SB_TOP, 0);
  if (focus != nullptr && GetFocus() != focus) SetFocus(focus);
  return streamed ? 1 : 0;
}

void SetRichViewerLinkHandler(RichEditViewer* viewer, RichLinkHandler handler, void* owner) {
  if (viewer == nullptr) return;
  viewer->handler = handler;
  viewer->owner = owner;
}

void SetRichLinkOpener(RichLinkOpener opener) { g_opener = opener; }

void SetRichViewerBrowserSetting(RichBrowserSetting setting) { g_browser_setting = setting; }

void SetRichViewerBackground(RichEditViewer* viewer, COLORREF colour) {
  if (viewer != nullptr) SendMessageA(viewer->window, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(colour));
}

HWND RichViewerWindow(const RichEditViewer* viewer) { return viewer != nullptr ? viewer->window : nullptr; }

const std::vector<RichLink>& RichViewerLinks(const RichEditViewer* viewer) {
  static const std::vector<RichLink> kNone;
  return viewer != nullptr ? viewer->links : kNone;
}

int OpenRichLink(HWND owner, const RichLink& link) {
  const RichLinkOpener open = g_opener != nullptr ? g_opener : OpenInBrowser;
  return open(owner, link) != 0 ? 1 : 0;
}

int FollowRichViewerLink(RichEditViewer* viewer, LONG first, LONG last) {
  if (viewer == nullptr || last - first < 1 || last - first > kLongestLinkClick) return 0;
  for (const RichLink& link : viewer->links) {
    if (link.first < first || link.last > last) continue;
    // A copy: the handler may set a new text, which replaces the records.
    const RichLink followed = link;
    if (viewer->handler != nullptr && viewer->handler(viewer->owner, viewer, followed) != 0) return 1;
    return OpenRichLink(GetParent(viewer->window), followed);
  }
  return 0;
}
