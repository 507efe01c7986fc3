// Editing in an editable viewer: pasting, cutting, deleting and typing go
// through the viewer so that each change is recorded and can be undone and
// redone; a right click offers the same commands in a menu.
#include <windowsx.h>

#include <string>

#include "common/key_commands.h"
#include "common/win_owners.h"
#include "controls/rich_edit_viewer_internal.h"
#include "controls/rich_edit_viewer_menu.h"

namespace {

constexpr UINT kUnicodeCodePage = 1200;

// The key translation gives Ctrl+A to Ctrl+Z as 1 to 26.
constexpr int CtrlCode(char letter) { return letter - 'A' + 1; }

struct KeyCommand {
  int code;
  ViewerEditCommand command;
};
// Ctrl+Y is the redo key: it is what Windows users expect from text fields
// and office programs.
constexpr KeyCommand kKeyCommands[] = {
    {CtrlCode('V'), kViewerEditPaste},
    {CtrlCode('X'), kViewerEditCut},
    {CtrlCode('Z'), kViewerEditUndo},
    {CtrlCode('Y'), kViewerEditRedo},
};

bool KeyIsDown(int key) { return GetKeyState(key) < 0; }

CHARRANGE Selection(HWND window) {
  CHARRANGE range = {0, 0};
  SendMessageW(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

void Select(HWND window, LONG first, LONG last) {
  CHARRANGE range = {first, last};
  SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

// The control's text as the viewer edits it: positions are the control's
// character positions, one per paragraph break.
class ControlText : public EditableText {
 public:
  explicit ControlText(HWND window) : window_(window) {}

  std::wstring Read(long first, long last) const override {
    if (last <= first) return L"";
    Select(window_, first, last);
    const CHARRANGE selected = Selection(window_);
    return ReadRichText(window_, selected.cpMax - selected.cpMin, GT_SELECTION);
  }

  long Replace(long first, long last, const std::wstring& text) override {
    Select(window_, first, last);
    // Text that begins like rich text would be read as rich text: the brace
    // goes in on its own, so pasted text always stays plain.
    std::size_t split = !text.empty() && text[0] == L'{' ? 1 : text.size();
    Insert(text.substr(0, split));
    if (split < text.size()) Insert(text.substr(split));
    return Selection(window_).cpMax;
  }

 private:
  void Insert(const std::wstring& text) const {
    SETTEXTEX replace = {ST_SELECTION, kUnicodeCodePage};
    SendMessageW(window_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&replace), reinterpret_cast<LPARAM>(text.c_str()));
  }

  HWND window_;
};

// Runs one of our own changes with its change notifications expected.
template <typename Change>
void Apply(RichEditViewer* viewer, Change change) {
  viewer->applying_edit = true;
  change();
  viewer->applying_edit = false;
}

void ReplaceAndRecord(RichEditViewer* viewer, CHARRANGE range, const std::wstring& text, bool typing) {
  Apply(viewer, [&] {
    ControlText control(viewer->window);
    TextEdit edit;
    edit.first = range.cpMin;
    edit.replaced = control.Read(range.cpMin, range.cpMax);
    if (edit.replaced.empty() && text.empty()) {
      Select(viewer->window, range.cpMin, range.cpMin);
      return;
    }
    edit.last = control.Replace(range.cpMin, range.cpMax, text);
    Select(viewer->window, edit.last, edit.last);
    viewer->history.Record(edit, typing);
  });
}

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    GlobalLockGuard lock(data);
    if (const auto* chars = static_cast<const wchar_t*>(lock.data())) {
      // The clipboard's block may be larger than its text, never shorter.
      const SIZE_T capacity = GlobalSize(data) / sizeof(wchar_t);
      SIZE_T length = 0;
      while (length < capacity && chars[length] != L'\0') ++length;
      text.assign(chars, length);
    }
  }
  CloseClipboard();
  return text;
}

// Where Delete or Backspace without a selection removes: the next or the
// previous character, or word with Ctrl.
CHARRANGE DeletionRange(HWND window, bool forward) {
  CHARRANGE range = Selection(window);
  if (range.cpMin != range.cpMax) return range;
  const LONG length = RichTextLength(window);
  if (KeyIsDown(VK_CONTROL)) {
    const LRESULT edge =
        SendMessageW(window, EM_FINDWORDBREAK, forward ? WB_MOVEWORDRIGHT : WB_MOVEWORDLEFT, range.cpMin);
    (forward ? range.cpMax : range.cpMin) = static_cast<LONG>(edge);
  } else if (forward) {
    range.cpMax = range.cpMin + 1;
  } else {
    range.cpMin = range.cpMax - 1;
  }
  if (range.cpMin < 0) range.cpMin = 0;
  if (range.cpMax > length) range.cpMax = length;
  if (range.cpMax < range.cpMin) range.cpMax = range.cpMin;
  return range;
}

bool IsTypedCharacter(HWND window, WPARAM character) {
  if (character == L'\r') return (GetWindowLongPtrW(window, GWL_STYLE) & ES_MULTILINE) != 0;
  return character == L'\t' || (character >= 0x20 && character != 0x7F);
}

void ShowMenuAtCaret(RichEditViewer* viewer) {
  POINT caret = {0, 0};
  GetCaretPos(&caret);
  ClientToScreen(viewer->window, &caret);
  ShowViewerEditMenu(viewer, caret.x, caret.y);
}

bool FilterKey(RichEditViewer* viewer, WPARAM key) {
  if ((key == VK_DELETE || key == VK_INSERT) && KeyIsDown(VK_SHIFT)) {
    RunViewerEditCommand(viewer, key == VK_DELETE ? kViewerEditCut : kViewerEditPaste);
    return true;
  }
  if (key == VK_DELETE || key == VK_BACK) {
    ReplaceAndRecord(viewer, DeletionRange(viewer->window, key == VK_DELETE), L"", false);
    return true;
  }
  if (key == VK_APPS) {
    ShowMenuAtCaret(viewer);
    return true;
  }
  const int code = KeyToCommandCode(WM_KEYDOWN, static_cast<int>(key));
  for (const KeyCommand& entry : kKeyCommands) {
    if (entry.code != code) continue;
    RunViewerEditCommand(viewer, entry.command);
    return true;
  }
  return false;
}

}  // namespace

bool ViewerIsEditable(const RichEditViewer* viewer) {
  return viewer != nullptr && viewer->window != nullptr &&
         (GetWindowLongPtrW(viewer->window, GWL_STYLE) & ES_READONLY) == 0;
}

ViewerEditState ViewerEditStateOf(const RichEditViewer* viewer) {
  ViewerEditState state;
  if (!ViewerIsEditable(viewer)) return state;
  const CHARRANGE selected = Selection(viewer->window);
  state.can_undo = viewer->history.CanUndo();
  state.can_redo = viewer->history.CanRedo();
  state.has_selection = selected.cpMax > selected.cpMin;
  state.can_paste = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
  state.has_text = RichTextLength(viewer->window) > 0;
  return state;
}

void RunViewerEditCommand(RichEditViewer* viewer, ViewerEditCommand command) {
  if (!ViewerIsEditable(viewer)) return;
  const HWND window = viewer->window;
  const CHARRANGE selected = Selection(window);
  switch (command) {
    case kViewerEditUndo:
    case kViewerEditRedo:
      Apply(viewer, [&] {
        ControlText control(window);
        TextEdit changed;
        const bool done = command == kViewerEditUndo ? viewer->history.Undo(control, &changed)
                                                     : viewer->history.Redo(control, &changed);
        if (done) Select(window, changed.first, changed.last);
      });
      break;
    case kViewerEditCut:
      if (selected.cpMax <= selected.cpMin) break;
      SendMessageW(window, WM_COPY, 0, 0);
      ReplaceAndRecord(viewer, selected, L"", false);
      break;
    case kViewerEditCopy:
      SendMessageW(window, WM_COPY, 0, 0);
      break;
    case kViewerEditPaste: {
      const std::wstring text = ClipboardText(GetParent(window));
      if (!text.empty()) ReplaceAndRecord(viewer, selected, text, false);
      break;
    }
    case kViewerEditDelete:
      ReplaceAndRecord(viewer, selected, L"", false);
      break;
    case kViewerEditSelectAll:
      Select(window, 0, -1);
      break;
  }
}

bool FilterViewerInput(RichEditViewer* viewer, const MSGFILTER& filter) {
  if (!ViewerIsEditable(viewer)) return false;
  switch (filter.msg) {
    case WM_KEYDOWN:
      return FilterKey(viewer, filter.wParam);
    case WM_CHAR:
      // Control characters of the keys handled above are not text.
      if (!IsTypedCharacter(viewer->window, filter.wParam) || (KeyIsDown(VK_CONTROL) && !KeyIsDown(VK_MENU)))
        return false;
      ReplaceAndRecord(viewer, Selection(viewer->window), std::wstring(1, static_cast<wchar_t>(filter.wParam)), true);
      return true;
    case WM_RBUTTONUP: {
      POINT at = {GET_X_LPARAM(filter.lParam), GET_Y_LPARAM(filter.lParam)};
      ClientToScreen(viewer->window, &at);
      ShowViewerEditMenu(viewer, at.x, at.y);
      return true;
    }
    default:
      return false;
  }
}

void NoteViewerChange(RichEditViewer* viewer) {
  if (viewer != nullptr && !viewer->applying_edit) viewer->history.Clear();
}
