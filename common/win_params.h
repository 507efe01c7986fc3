// Item indexes and menu flags in the types the Win32 calls take.
#pragma once

#include <windows.h>

// An item index as a list or combo message's WPARAM.  -1 ("no item", "from
// the start") becomes the all-ones value those messages expect.
inline WPARAM IndexParam(int index) { return static_cast<WPARAM>(static_cast<INT_PTR>(index)); }

// The flags of EnableMenuItem and CheckMenuItem for an item found by its
// command id.  The MF_ constants are long in the headers; their sums fit UINT.
inline UINT MenuEnableFlags(bool enabled) {
  return enabled ? UINT{MF_BYCOMMAND | MF_ENABLED} : UINT{MF_BYCOMMAND | MF_GRAYED};
}
inline UINT MenuCheckFlags(bool checked) {
  return checked ? UINT{MF_BYCOMMAND | MF_CHECKED} : UINT{MF_BYCOMMAND | MF_UNCHECKED};
}
