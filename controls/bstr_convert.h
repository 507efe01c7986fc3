// Conversions between 8-bit texts and COM BSTR strings.
#pragma once

#include <windows.h>
#include <oleauto.h>

// New BSTR from a multi-byte text in the given code page; null for a null
// text, an empty conversion or when out of memory.  Free with SysFreeString.
BSTR TextToBstr(const char* text, UINT code_page);

// New heap (malloc) multi-byte text from a BSTR; null for a null or empty
// string or when out of memory.  Free with free().
char* BstrToText(BSTR string, UINT code_page);

// Owner of one BSTR.
class BstrHolder {
 public:
  BstrHolder() = default;
  explicit BstrHolder(BSTR owned) : bstr_(owned) {}
  ~BstrHolder() { Free(); }
  BstrHolder(const BstrHolder&) = delete;
  BstrHolder& operator=(const BstrHolder&) = delete;

  // Replaces the held string with a copy of `wide` (SysAllocString); false
  // when a non-null text could not be copied.
  bool Wrap(const wchar_t* wide);
  // SysFreeString on the held string.
  void Free();
  BSTR get() const { return bstr_; }
  // Hands the string over to the caller.
  BSTR release();

 private:
  BSTR bstr_ = nullptr;
};
