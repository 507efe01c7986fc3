// The notifications a toolbar sends its frame: tooltip texts, the buttons the
// customise dialog and the restore of a saved order ask for, the drag and
// drop-down hooks, and saving the order once the user has changed it.
#include <cstdio>
#include <string>

#include "common/strings.h"
#include "controls/dialog_frame.h"
#include "controls/frame_help_pane.h"
#include "controls/toolbar.h"

namespace {

constexpr INT_PTR kHighestStringId = 0xFFFE;

const TBBUTTON* ButtonOfCommand(const ToolbarRecord& toolbar, UINT_PTR command) {
  for (const TBBUTTON& button : toolbar.buttons) {
    if (!(button.fsStyle & TBSTYLE_SEP) && UINT_PTR(button.idCommand) == command) return &button;
  }
  return nullptr;
}

std::string TooltipText(const ToolbarRecord& toolbar, const TBBUTTON& button) {
  if (toolbar.tooltip_of) {
    const char* text = toolbar.tooltip_of(button.idCommand, toolbar.user_data);
    if (text) return text;
  }
  return LoadStringText(UINT(button.dwData));
}

// The text the customise dialog lists for a button: its own text when it has
// one, else its tooltip.
std::string ListedText(const ToolbarRecord& toolbar, const TBBUTTON& button) {
  if (toolbar.text_of) {
    const char* text = toolbar.text_of(button.idCommand, toolbar.user_data);
    if (text) return text;
  }
  if (button.iString >= 0 && button.iString <= kHighestStringId) return LoadStringText(UINT(button.iString));
  return LoadStringText(UINT(button.dwData));
}

void AnswerTooltip(ToolbarRecord* toolbar, NMTTDISPINFOA* info) {
  const TBBUTTON* button = ButtonOfCommand(*toolbar, info->hdr.idFrom);
  if (!button) return;
  ShowContextHelp(toolbar->frame, button->idCommand);
  toolbar->tooltip = TooltipText(*toolbar, *button);
  info->lpszText = &toolbar->tooltip[0];
  info->hinst = nullptr;
}

void AnswerButtonInfo(ToolbarRecord* toolbar, NMTOOLBARA* request) {
  DialogFrame* frame = toolbar->frame;
  const int index = request->iItem;
  if (index < 0 || std::size_t(index) >= toolbar->buttons.size()) {
    SetWindowLongPtrA(frame->window, DWLP_MSGRESULT, 0);
    return;
  }
  const TBBUTTON& button = toolbar->buttons[std::size_t(index)];
  request->tbButton.iBitmap = button.iBitmap;
  request->tbButton.idCommand = button.idCommand;
  request->tbButton.fsState = button.fsState;
  request->tbButton.fsStyle = button.fsStyle;
  request->tbButton.dwData = button.dwData;
  const std::string text = ListedText(*toolbar, button);
  if (request->pszText && request->cchText > 0) {
    std::snprintf(request->pszText, std::size_t(request->cchText), "%s", text.c_str());
  }
  // The control takes the string field as the button's visible text when it
  // rebuilds a saved order: a button shown without text must stay so.
  const bool labelled = toolbar->text_of || button.iString >= 0;
  if (!labelled) {
    request->tbButton.iString = 0;
    SetWindowLongPtrA(frame->window, DWLP_MSGRESULT, 1);
    return;
  }
  toolbar->wide_texts.resize(toolbar->buttons.size());
  std::wstring& wide = toolbar->wide_texts[std::size_t(index)];
  wide.assign(text.size(), L'\0');
  const int converted = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], int(wide.size()));
  wide.resize(std::size_t(converted > 0 ? converted : 0));
  request->tbButton.iString = reinterpret_cast<INT_PTR>(wide.c_str());
  SetWindowLongPtrA(frame->window, DWLP_MSGRESULT, 1);
}

// A saved order may give a separator as command 0.  Made a separator here,
// it is kept; otherwise every separator after the first is dropped as a
// button nobody describes.
void KeepRestoredSeparator(NMTBRESTORE* restore) {
  if (restore->iItem < 0 || restore->tbButton.idCommand != 0) return;
  restore->tbButton.fsStyle = TBSTYLE_SEP;
  restore->tbButton.fsState = TBSTATE_ENABLED;
  restore->tbButton.iBitmap = 0;
}

void RunHook(ToolbarHook hook, int id, const ToolbarRecord& toolbar) {
  if (hook) hook(id, toolbar.user_data);
}

int ToolbarClaims(ToolbarRecord* toolbar, NMHDR* header) {
  if (header->code == TTN_GETDISPINFOA) {
    // Sent by the toolbar's tooltip window, named by the button's command.
    if (!toolbar->window || header->hwndFrom != HWND(SendMessageA(toolbar->window, TB_GETTOOLTIPS, 0, 0))) return 0;
    AnswerTooltip(toolbar, reinterpret_cast<NMTTDISPINFOA*>(header));
    return ButtonOfCommand(*toolbar, header->idFrom) != nullptr;
  }
  if (!toolbar->window || header->hwndFrom != toolbar->window) return 0;
  auto* notice = reinterpret_cast<NMTOOLBARA*>(header);
  const int sender = int(header->idFrom);
  switch (header->code) {
    case TBN_GETBUTTONINFOA:
      AnswerButtonInfo(toolbar, notice);
      return 1;
    case TBN_BEGINDRAG:
      RunHook(toolbar->begin_drag, notice->iItem, *toolbar);
      return 0;
    case TBN_ENDDRAG:
      RunHook(toolbar->end_drag, sender, *toolbar);
      return 0;
    case TBN_DROPDOWN:
      RunHook(toolbar->drop_down, sender, *toolbar);
      return 0;
    case TBN_DRAGOUT:
      RunHook(toolbar->drag_out, notice->iItem, *toolbar);
      return 0;
    case TBN_RESTORE:
      KeepRestoredSeparator(reinterpret_cast<NMTBRESTORE*>(header));
      SetWindowLongPtrA(toolbar->frame->window, DWLP_MSGRESULT, 0);
      return 1;
    case TBN_ENDADJUST:
    // A button dragged off or moved with the Alt key changes the toolbar
    // without any customising to end: that change is kept too.
    case TBN_TOOLBARCHANGE:
      SaveToolbarState(toolbar);
      return 1;
    case TBN_BEGINADJUST:
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
    case TBN_DELETINGBUTTON:
    case TBN_INITCUSTOMIZE:
      // Every insertion and deletion is allowed.
      SetWindowLongPtrA(toolbar->frame->window, DWLP_MSGRESULT, 1);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

int ToolbarNotify(DialogFrame* frame, NMHDR* header) {
  if (!frame || !header) return 0;
  for (ToolbarRecord* toolbar = frame->toolbars; toolbar; toolbar = toolbar->next) {
    if (ToolbarClaims(toolbar, header)) return 1;
  }
  return 0;
}
