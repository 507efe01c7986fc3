// The HTML page of the About box, built from its template in two passes: the
// first when the box opens (product, version, labels, links), the second once
// the box is on screen (memory and operating system).  Everything here is a
// function of its inputs; reading the registry and the system is the
// caller's part.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_buf.h"

// Label texts of the page; a null label takes the built-in English default.
struct AboutLabels {
  const char* version = nullptr;
  const char* operating_system = nullptr;
  const char* memory = nullptr;
  const char* free_memory = nullptr;
  const char* home = nullptr;
  const char* support = nullptr;
  const char* copyright = nullptr;
};

// The link addresses as stored in the program key; null or empty: missing.
// They may hold "%LANG%" and "%ID%".
struct AboutLinks {
  const char* home = nullptr;
  const char* support = nullptr;
  const char* faq = nullptr;
};

struct AboutPageInputs {
  const char* product_title = nullptr;
  const char* current_folder = nullptr;  // "$BASE"
  const char* version_text = nullptr;
  const char* build_text = nullptr;
  const char* user_text = nullptr;      // null: none
  const char* language_code = nullptr;  // null, empty or "EN": English
  const char* cookie = nullptr;         // the visitor id as stored; null: none
  AboutLinks links;
  AboutLabels labels;
};

// What the second pass puts in.
struct AboutSystemTexts {
  std::string memory;
  std::string operating_system;
  std::string free_memory;
};

// The page template with its placeholders.
const char* AboutPageTemplate();

// The first pass: the template with everything but "$MEMORY", "$OS" and
// "$FREE" filled in.  Every inserted text is escaped, so the second pass
// still finds its placeholders where the template put them.  Returns 0 when
// memory runs out.
int BuildAboutPage(const AboutPageInputs& inputs, TextBuf* page);

// The second pass on a copy of the first: the first occurrence of each of the
// three placeholders is replaced.  Returns 0 when memory runs out.
int FillAboutSystemTexts(TextBuf* page, const AboutSystemTexts& texts);

// A link address ready for the page: "%LANG%" and "%ID%" filled in (see
// BuildAboutPage), then refused (empty) unless it is an http or https
// address.  Not yet escaped.
std::string AboutLinkAddress(const char* stored_address, const char* language_code, const char* cookie);

// The operating system as the page names it, with " major.minor (build: n)".
// `workstation` tells client and server editions of the same NT version apart.
struct OsVersion {
  unsigned platform_id = 2;  // 0 Win32s, 1 Windows 9x, 2 Windows NT
  unsigned major = 0;
  unsigned minor = 0;
  std::uint32_t build = 0;
  bool workstation = true;
};
std::string OperatingSystemText(const OsVersion& version);

// Installed memory in whole megabytes, rounded to the nearest ("512 MB").
std::string MemoryText(std::uint64_t total_bytes);
// The free share from the system's memory load percentage ("37%" for 63).
std::string FreeMemoryText(unsigned memory_load_percent);
