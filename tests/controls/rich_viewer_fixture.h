// An editable rich edit viewer in a real dialog, with the keyboard state and
// the clipboard driven by the test.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <string>

#include "common/common_library.h"
#include "controls/dialog_frame.h"
#include "controls/dialog_resources.h"
#include "controls/rich_edit_viewer.h"
#include "page_view_test_dialogs.h"

class EditableViewerTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
    ASSERT_EQ(LoadRichEditLibraries(), 1);
    DialogRequest request;
    request.holder = &frame_;
    ASSERT_EQ(CreateDialogFromResource(request, IDD_PAGE_RICH), 1);
    viewer_ = CreateRichEditViewer(frame_, IDC_PAGE_VIEWER, kRichViewerLinks);
    ASSERT_NE(viewer_, nullptr);
    window_ = RichViewerWindow(viewer_);
    SendMessageW(window_, EM_SETREADONLY, FALSE, 0);
  }
  void TearDown() override {
    HoldKeys({});
    if (frame_ != nullptr) {
      if (frame_->window != nullptr) DestroyWindow(frame_->window);
      FreeDialogFrame(frame_);
    }
    ShutdownCommonLibrary();
  }

  // The modifier keys the viewer sees as held down.
  static void HoldKeys(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int key : keys) state[key] = 0x80;
    SetKeyboardState(state);
  }
  // A key press as the control receives it, with the character it types.
  void Press(int key, std::initializer_list<int> modifiers = {}) {
    HoldKeys(modifiers);
    SendMessageW(window_, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    HoldKeys({});
  }
  void Type(const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(window_, WM_CHAR, c, 1);
  }

  std::wstring Text() const {
    GETTEXTLENGTHEX length_request = {GTL_DEFAULT | GTL_NUMCHARS, 1200};
    const LRESULT length = SendMessageW(window_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length_request), 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    request.flags = GT_DEFAULT;
    request.codepage = 1200;
    const LRESULT copied =
        SendMessageW(window_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
  }
  void SetPlainText(const char* text) { ASSERT_EQ(SetRichViewerText(viewer_, text, nullptr), 1); }
  void Select(LONG first, LONG last) {
    CHARRANGE range = {first, last};
    SendMessageW(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }
  CHARRANGE Selection() const {
    CHARRANGE range = {};
    SendMessageW(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }

  static bool PutOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool put = false;
    if (memory != nullptr) {
      memcpy(GlobalLock(memory), text.c_str(), bytes);
      GlobalUnlock(memory);
      put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      if (!put) GlobalFree(memory);
    }
    CloseClipboard();
    return put;
  }
  static std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }
  static void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
  }

  DialogFrame* frame_ = nullptr;
  RichEditViewer* viewer_ = nullptr;
  HWND window_ = nullptr;
};
