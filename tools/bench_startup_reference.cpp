// The yardstick of the start-up benchmark: a Win32 program that does no more
// than show one empty dialog, so that its time to a first window is what
// starting any dialog program costs on this machine and wineserver.
#include <windows.h>

namespace {

// A dialog template in memory: the header, then no menu, the standard class
// and a title, each a WORD-aligned string of UTF-16 units.
struct alignas(4) EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu;
  WORD window_class;
  WCHAR title[10];
};

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  EmptyDialogTemplate dialog = {};
  dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
  dialog.header.cx = 200;
  dialog.header.cy = 100;
  const WCHAR title[] = L"Reference";
  for (int i = 0; title[i] != 0; ++i) dialog.title[i] = title[i];
  return static_cast<int>(DialogBoxIndirectParamA(instance, &dialog.header, nullptr, EmptyDialogProc, 0));
}
