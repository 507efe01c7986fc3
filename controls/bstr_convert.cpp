#include "controls/bstr_convert.h"

#include <cstdlib>

BSTR TextToBstr(const char* text, UINT code_page) {
  if (!text || !*text) return nullptr;
  const int wide_len = MultiByteToWideChar(code_page, 0, text, -1, nullptr, 0);
  if (wide_len <= 1) return nullptr;
  // The count includes the terminator, which SysAllocStringLen adds itself.
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(wide_len - 1));
  if (!result) return nullptr;
  if (MultiByteToWideChar(code_page, 0, text, -1, result, wide_len) != wide_len) {
    SysFreeString(result);
    return nullptr;
  }
  return result;
}

char* BstrToText(BSTR string, UINT code_page) {
  const UINT wide_len = string ? SysStringLen(string) : 0;
  if (wide_len == 0) return nullptr;
  const int size = WideCharToMultiByte(code_page, 0, string, static_cast<int>(wide_len), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return nullptr;
  char* text = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
  if (!text) return nullptr;
  const int written =
      WideCharToMultiByte(code_page, 0, string, static_cast<int>(wide_len), text, size, nullptr, nullptr);
  if (written <= 0) {
    std::free(text);
    return nullptr;
  }
  text[written] = '\0';
  return text;
}

bool BstrHolder::Wrap(const wchar_t* wide) {
  Free();
  if (!wide) return true;
  bstr_ = SysAllocString(wide);
  return bstr_ != nullptr;
}

void BstrHolder::Free() {
  if (bstr_) SysFreeString(bstr_);
  bstr_ = nullptr;
}

BSTR BstrHolder::release() {
  BSTR owned = bstr_;
  bstr_ = nullptr;
  return owned;
}
