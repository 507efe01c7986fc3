#include "common/strings.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/common_library.h"
#include "common/language.h"
#include "common/message_format.h"
#include "res/string_ids.h"

namespace {

constexpr std::size_t kRingSize = 10;
constexpr std::size_t kFirstTextSize = 1024;
constexpr std::size_t kTextGrowth = 512;

struct StringRing {
  std::array<std::vector<char>, kRingSize> slots;
  std::size_t next = 0;
  bool release_registered = false;
};

StringRing& Ring() {
  static StringRing ring;
  return ring;
}

void ReleaseStringTextsAtShutdown() {
  ReleaseStringTexts();
  Ring().release_registered = false;
}

HINSTANCE StringInstance() {
  HINSTANCE instance = LibraryInstance();
  return instance ? instance : GetModuleHandleA(nullptr);
}

int CallMessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}

MessageBoxFunction g_show_message_box = CallMessageBoxA;
bool g_error_box_open = false;

}  // namespace

const char* LoadStringText(UINT id) {
  StringRing& ring = Ring();
  if (!ring.release_registered) {
    RegisterLibraryRelease(ReleaseStringTextsAtShutdown);
    ring.release_registered = true;
  }
  std::vector<char>& slot = ring.slots[ring.next];
  ring.next = (ring.next + 1) % kRingSize;

  slot.assign(kFirstTextSize, '\0');
  for (;;) {
    int length = LoadStringA(StringInstance(), id, slot.data(), static_cast<int>(slot.size()));
    if (length <= 0) {
      slot[0] = '\0';
      break;
    }
    // A text that fills the buffer may have been cut: load it again with
    // more room until it fits.
    if (static_cast<std::size_t>(length) < slot.size() - 1) break;
    slot.assign(slot.size() + kTextGrowth, '\0');
  }

  const char* translation = slot[0] ? FindTranslation(slot.data()) : nullptr;
  if (translation) {
    std::size_t length = std::char_traits<char>::length(translation);
    slot.assign(translation, translation + length + 1);
  }
  return slot.data();
}

void ReleaseStringTexts() {
  StringRing& ring = Ring();
  for (auto& slot : ring.slots) std::vector<char>().swap(slot);
  ring.next = 0;
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction show) {
  MessageBoxFunction previous = g_show_message_box;
  g_show_message_box = show ? show : CallMessageBoxA;
  return previous;
}

int ShowErrorBox(HWND owner, const char* format, ...) {
  if (!format) return 0;
  // The box runs its own message loop: a timer or a posted message may report
  // the same failure again while it is up.
  if (g_error_box_open) return 0;
  va_list args;
  va_start(args, format);
  std::optional<std::string> text = FormatMessageTextV(format, args);
  va_end(args);
  if (!text) return 0;
  std::string caption = LoadStringText(IDS_ERROR);
  g_error_box_open = true;
  g_show_message_box(owner, text->c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
  g_error_box_open = false;
  return 1;
}

namespace {

UINT IconStyle(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kInformation:
      return MB_ICONINFORMATION;
    case MessageBoxIcon::kWarning:
      return MB_ICONWARNING;
    case MessageBoxIcon::kError:
      return MB_ICONERROR;
    case MessageBoxIcon::kNone:
      break;
  }
  return 0;
}

int ShowFormattedBoxV(HWND owner, MessageBoxIcon icon, const char* caption, const char* format, va_list args) {
  if (!format) return 0;
  std::optional<std::string> text = FormatMessageTextV(format, args);
  if (!text) return 0;
  g_show_message_box(owner, text->c_str(), caption ? caption : "", MB_OK | IconStyle(icon));
  return 1;
}

}  // namespace

int ShowMessageBox(HWND owner, const char* caption, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int shown = ShowFormattedBoxV(owner, MessageBoxIcon::kNone, caption, format, args);
  va_end(args);
  return shown;
}

int ShowMessageBox(HWND owner, MessageBoxIcon icon, const char* caption, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int shown = ShowFormattedBoxV(owner, icon, caption, format, args);
  va_end(args);
  return shown;
}

int ShowWarningBox(HWND owner, const char* caption, const char* text) {
  if (!text) return 0;
  g_show_message_box(owner, text, caption ? caption : "", MB_OK | MB_ICONWARNING);
  return 1;
}
