#include "common/dialog_class.h"

namespace {

constexpr UINT kToolbarQueryInsert = 0U - 706U;  // TBN_QUERYINSERT
constexpr UINT kToolbarQueryDelete = 0U - 707U;  // TBN_QUERYDELETE

}  // namespace

LRESULT CALLBACK VelmaronDialogWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY && lparam != 0) {
    const UINT code = reinterpret_cast<const NMHDR*>(lparam)->code;
    if (code == kToolbarQueryInsert || code == kToolbarQueryDelete) return 1;
  }
  return DefDlgProcA(window, message, wparam, lparam);
}

int RegisterDialogClass(HINSTANCE instance) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, kDialogClassName, &existing)) return 1;
  WNDCLASSA window_class = {};
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = VelmaronDialogWindowProc;
  window_class.cbWndExtra = DLGWINDOWEXTRA;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  window_class.lpszClassName = kDialogClassName;
  return RegisterClassA(&window_class) != 0 ? 1 : 0;
}
