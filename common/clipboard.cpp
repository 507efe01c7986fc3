#include "common/clipboard.h"

#include <cstring>
#include <string>

#include "common/common_library.h"
#include "common/win_owners.h"

namespace {

std::string* g_clipboard_copy = nullptr;

// Room beyond the text and its terminator, as readers of the block may
// expect a little slack.
constexpr size_t kExtraBytes = 10;

}  // namespace

int CopyTextToClipboard(HWND owner, const char* text) {
  if (text == nullptr) return 0;
  const size_t length = std::strlen(text);
  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, length + kExtraBytes));
  if (!block) return 0;
  {
    GlobalLockGuard lock(block.get());
    if (lock.data() == nullptr) return 0;
    std::memcpy(lock.data(), text, length + 1);
  }
  if (!OpenClipboard(owner)) return 0;
  int done = 0;
  if (EmptyClipboard() && SetClipboardData(CF_TEXT, block.get()) != nullptr) {
    // The clipboard owns the block once it took it.
    block.release();
    done = 1;
  }
  CloseClipboard();
  return done;
}

const char* PasteTextFromClipboard(HWND owner) {
  ReleaseClipboardCopy();
  if (!OpenClipboard(owner)) return nullptr;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* text = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (text != nullptr) {
    // The block may lack a terminator; never read past its size.
    const size_t size = GlobalSize(data);
    g_clipboard_copy = new std::string(text, strnlen(text, size));
    GlobalUnlock(data);
    RegisterLibraryRelease(ReleaseClipboardCopy);
  }
  CloseClipboard();
  return g_clipboard_copy != nullptr ? g_clipboard_copy->c_str() : nullptr;
}

void ReleaseClipboardCopy() {
  delete g_clipboard_copy;
  g_clipboard_copy = nullptr;
}
