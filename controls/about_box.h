// The About box: a modal dialog of the dialog-resource library with a
// picture and a small HTML page naming the product, its version, the
// operating system and the memory, with links to the product's pages.
#pragma once

#include <windows.h>

struct DialogFrame;

// String-table ids of the page's labels and of the window title; 0 takes
// the built-in English text.
struct AboutLabelIds {
  UINT version = 0;
  UINT operating_system = 0;
  UINT memory = 0;
  UINT free_memory = 0;
  UINT home = 0;
  UINT support = 0;
  UINT copyright = 0;
  UINT window_title = 0;
};

struct AboutBoxRequest {
  DialogFrame* parent = nullptr;
  const char* product_title = nullptr;
  const char* version_text = nullptr;
  const char* build_text = nullptr;
  const char* user_text = nullptr;      // null: none
  const char* language_code = nullptr;  // null: English
  AboutLabelIds labels;
};

// Shows the box and returns when it has been closed: 1, or -1 when the
// dialog could not be made.
INT_PTR RunAboutBox(const AboutBoxRequest& request);

// Writes the finished page into the box's viewer control.  The default
// shows it in the browser control, or as rich text where no document comes
// back; tests replace it.  1 when the page was shown.
using AboutPageWriter = int (*)(DialogFrame* frame, HWND viewer, const char* html);
void SetAboutPageWriter(AboutPageWriter writer);  // null: the default
