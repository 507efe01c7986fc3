#include "support/list_view_test_dialog.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "controls/dialog_resources.h"
#include "controls/frame_control_list.h"

namespace {

void Align(std::vector<char>& bytes) {
  while (bytes.size() % 4) bytes.push_back(0);
}
template <typename T>
void Put(std::vector<char>& bytes, const T& value) {
  const char* raw = reinterpret_cast<const char*>(&value);
  bytes.insert(bytes.end(), raw, raw + sizeof value);
}
void PutWide(std::vector<char>& bytes, const char* text) {
  for (; *text; ++text) Put<WORD>(bytes, static_cast<WORD>(*text));
  Put<WORD>(bytes, 0);
}

std::vector<char> DialogTemplate() {
  std::vector<char> bytes;
  DLGTEMPLATE dialog = {};
  dialog.style = WS_POPUP | WS_VISIBLE | WS_CAPTION;
  dialog.cdit = 1;
  dialog.cx = 300;
  dialog.cy = 200;
  Put(bytes, dialog);
  Put<WORD>(bytes, 0);  // menu
  Put<WORD>(bytes, 0);  // class
  PutWide(bytes, "List test");
  Align(bytes);
  DLGITEMTEMPLATE item = {};
  item.style = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_EDITLABELS | LVS_SHOWSELALWAYS;
  item.x = 5;
  item.y = 5;
  item.cx = 290;
  item.cy = 190;
  item.id = kTestListId;
  Put(bytes, item);
  PutWide(bytes, "SysListView32");
  Put<WORD>(bytes, 0);  // text
  Put<WORD>(bytes, 0);  // creation data
  Align(bytes);
  return bytes;
}

}  // namespace

TestListDialog::TestListDialog() {
  frame_ = NewDialogFrame();
  frame_->dialog_id = kTestDialogId;
  const std::vector<char> bytes = DialogTemplate();
  CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
                             FrameDialogProc, reinterpret_cast<LPARAM>(frame_));
}

TestListDialog::~TestListDialog() {
  Close();
  FreeDialogFrame(frame_);
}

void TestListDialog::Close() {
  if (frame_->window) DestroyWindow(frame_->window);
}

int TestListDialog::FrameListEntries() const {
  int count = 0;
  for (FrameControl* entry = frame_->controls; entry; entry = entry->next) {
    if (entry->kind == kFrameListView && entry->control_id == kTestListId) ++count;
  }
  return count;
}

std::string CellText(HWND list, int index, int column) {
  char text[256] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}
