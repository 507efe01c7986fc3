// Where stored window and list layouts live below HKEY_CURRENT_USER, and the
// checks a stored list passes before it is applied to a list view.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Key paths are at most this long, terminating zero included.
constexpr std::size_t kLayoutKeySize = 256;

// "Software\VELMARON\<product>\DLGS\<dialog>"; false when the product is
// missing or the path would not fit.
bool FormatDialogKey(char* out, std::size_t out_size, const char* product, int dialog_id);
// The dialog key + "\<control>", then "\<sub_key>" unless sub_key is null.
bool FormatListKey(char* out, std::size_t out_size, const char* product, int dialog_id, int control_id,
                   const char* sub_key);

// A whole signed decimal number in int range, nothing else.
bool ParseDecimal(const char* text, int* value);

struct LayoutCheck {
  bool ok;
  const char* reason;  // fixed text; "" when ok
};
// A column order must name every column exactly once.
LayoutCheck CheckColumnOrder(const int* order, int count);

// Column widths outside this range come from a damaged store.
constexpr int kMaxColumnWidth = 4096;
int ClampColumnWidth(int width);

// Comma-separated decimal numbers, for the splitter positions of a window.
std::string FormatNumberList(const std::vector<int>& numbers);
// False (and nothing stored) when any part is not a number.
bool ParseNumberList(const char* text, std::vector<int>* numbers);
