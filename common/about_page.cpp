#include "common/about_page.h"

#include <cctype>
#include <cstring>

#include "common/html_escape.h"
#include "common/link_macros.h"

namespace {

constexpr char kTemplate[] =
    "<HTML><HEAD>  <style type=\"text/css\">A:hover{color:#FF0000;}td {font-size: 8pt; "
    "font-family:verdana,helvetica,arial; font-weight:normal;}  </style></HEAD>"
    "<BODY BGCOLOR=D0D0D0><table border=0 cellspacing=0 cellpadding=0 width=100% height=100%><tr><td "
    "valign=top>"
    "<b><font size=+1 face=arial>$PRODUCT</font></b><hr>"
    "<table width=100% cellpadding=0 cellspacing=0 border=0><tr><td valign=bottom></td><td align=left "
    "valign=bottom>%VERSION%: <b>$VERSION</b></td><td align=right><b>$USER</b></td></tr></table><br>"
    "<table cellspacing=0>"
    "<tr><td><i><font size=-2><font color=000090>%OS%:</td><td> $OS</td></tr>"
    "<tr><td><i><font size=-2><font color=000090>%MEMORY%:</td><td>$MEMORY</td></tr>"
    "<tr><td><i><font size=-2><font color=000090>%FREE%:</td><td>$FREE</td></tr></table><br><br>"
    "[<A HREF=\"%URLHOME%\" target=_blank><b>%HOME%</b></A>] [<A HREF=\"%URLSUPPORT%\" "
    "target=_blank><b>%SUPPORT%</b></A>] [<A HREF=\"%URLFAQ%\" target=_blank><b>FAQ</b></A>]<br><br>"
    "<font size=-2 color=666666 face=arial>%COPYRIGHT%</td></tr></table></BODY></HTML>";

constexpr char kDefaultCopyright[] = "Copyright (c) Velmaron. All rights reserved.";

bool IsEnglish(const char* language_code) {
  if (!language_code || !*language_code) return true;
  return (language_code[0] == 'E' || language_code[0] == 'e') && (language_code[1] == 'N' || language_code[1] == 'n') &&
         language_code[2] == '\0';
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
  const std::size_t length = std::strlen(prefix);
  if (text.size() < length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

void ReplaceAll(std::string& text, const char* search, const std::string& replacement) {
  const std::size_t search_length = std::strlen(search);
  std::size_t at = 0;
  while ((at = text.find(search, at)) != std::string::npos) {
    text.replace(at, search_length, replacement);
    at += replacement.size();
  }
}

bool Replace(TextBuf* page, const char* placeholder, const std::string& text) {
  TextReplaceAll(page, placeholder, text.c_str());
  return *page != nullptr;
}

const char* OrDefault(const char* label, const char* fallback) { return label ? label : fallback; }

std::string VersionNumbersText(unsigned major, unsigned minor, unsigned build) {
  return " " + std::to_string(major) + "." + std::to_string(minor) + " (build: " + std::to_string(build) + ")";
}

const char* NtName(const OsVersion& v) {
  if (v.major < 5) return "Windows NT";
  if (v.major == 5) {
    if (v.minor == 0) return "Windows 2000";
    if (v.minor == 1) return "Windows XP";
    return v.workstation ? "Windows XP" : "Windows Server 2003";
  }
  if (v.major == 6) {
    switch (v.minor) {
      case 0:
        return v.workstation ? "Windows Vista" : "Windows Server 2008";
      case 1:
        return v.workstation ? "Windows 7" : "Windows Server 2008 R2";
      case 2:
        return v.workstation ? "Windows 8" : "Windows Server 2012";
      case 3:
        return v.workstation ? "Windows 8.1" : "Windows Server 2012 R2";
      default:
        return "Windows";
    }
  }
  if (v.major == 10 && v.minor == 0) {
    if (!v.workstation) return "Windows Server";
    // Windows 11 kept the version number of Windows 10; its builds start here.
    return v.build >= 22000 ? "Windows 11" : "Windows 10";
  }
  return "Windows";
}

const char* Win9xName(const OsVersion& v) {
  if (v.major < 4) return "Windows 95";
  if (v.minor >= 90) return "Windows ME";
  if (v.minor > 0 && (v.build & 0xFFFF) >= 2222) return "Windows 98 SE";
  if (v.minor > 0) return "Windows 98";
  return "Windows 95";
}

}  // namespace

const char* AboutPageTemplate() { return kTemplate; }

std::string AboutLinkAddress(const char* stored_address, const char* language_code, const char* cookie) {
  if (!stored_address) return std::string();
  std::string address = stored_address;
  if (IsEnglish(language_code)) {
    ReplaceAll(address, "/%LANG%", "");
    ReplaceAll(address, "%LANG%", "");
  } else {
    std::string code = language_code;
    for (char& c : code) c = char(std::tolower(static_cast<unsigned char>(c)));
    ReplaceAll(address, "%LANG%", code);
  }
  if (CheckLinkCookie(cookie).ok) {
    ReplaceAll(address, "%ID%", cookie);
  } else {
    ReplaceAll(address, "?id=%ID%", "");
    ReplaceAll(address, "?%ID%", "");
    ReplaceAll(address, "%ID%", "");
  }
  if (!StartsWithIgnoringCase(address, "http://") && !StartsWithIgnoringCase(address, "https://")) {
    return std::string();
  }
  return address;
}

int BuildAboutPage(const AboutPageInputs& in, TextBuf* page) {
  if (!TextAssign(page, kTemplate)) return 0;
  std::string version = in.version_text ? in.version_text : "";
  version += ".";
  version += in.build_text ? in.build_text : "";
  const AboutLabels& labels = in.labels;
  const struct {
    const char* placeholder;
    std::string text;
  } replacements[] = {
      {"$PRODUCT", HtmlEscape(in.product_title)},
      {"$BASE", HtmlEscape(in.current_folder)},
      {"$VERSION", HtmlEscape(version.c_str())},
      {"$USER", HtmlEscape(in.user_text)},
      {"%URLHOME%", HtmlEscape(AboutLinkAddress(in.links.home, in.language_code, in.cookie).c_str())},
      {"%URLSUPPORT%", HtmlEscape(AboutLinkAddress(in.links.support, in.language_code, in.cookie).c_str())},
      {"%URLFAQ%", HtmlEscape(AboutLinkAddress(in.links.faq, in.language_code, in.cookie).c_str())},
      {"%HOME%", HtmlEscape(OrDefault(labels.home, "Home"))},
      {"%SUPPORT%", HtmlEscape(OrDefault(labels.support, "Support"))},
      {"%OS%", HtmlEscape(OrDefault(labels.operating_system, "Operating system"))},
      {"%MEMORY%", HtmlEscape(OrDefault(labels.memory, "Memory"))},
      {"%FREE%", HtmlEscape(OrDefault(labels.free_memory, "Free memory"))},
      {"%COPYRIGHT%", HtmlEscape(OrDefault(labels.copyright, kDefaultCopyright))},
      {"%VERSION%", HtmlEscape(OrDefault(labels.version, "version"))},
  };
  for (const auto& replacement : replacements) {
    if (!Replace(page, replacement.placeholder, replacement.text)) return 0;
  }
  return 1;
}

int FillAboutSystemTexts(TextBuf* page, const AboutSystemTexts& texts) {
  if (!page || !*page) return 0;
  TextReplaceFirst(page, "$MEMORY", HtmlEscape(texts.memory.c_str()).c_str());
  TextReplaceFirst(page, "$OS", HtmlEscape(texts.operating_system.c_str()).c_str());
  TextReplaceFirst(page, "$FREE", HtmlEscape(texts.free_memory.c_str()).c_str());
  return *page != nullptr;
}

std::string OperatingSystemText(const OsVersion& v) {
  switch (v.platform_id) {
    case 0:
    case 1: {
      // These systems keep the whole version in the build number field.
      const char* name = v.platform_id == 0 ? "Win32s" : Win9xName(v);
      return name + VersionNumbersText(v.build >> 24, (v.build >> 16) & 0xFF, v.build & 0xFFFF);
    }
    case 2:
      return NtName(v) + VersionNumbersText(v.major, v.minor, v.build);
    default:
      return "Unknown Windows" + VersionNumbersText(v.major, v.minor, v.build);
  }
}

std::string MemoryText(std::uint64_t total_bytes) {
  // Rounded rather than cut: the system keeps a little memory for itself, and
  // 511.7 MB of a 512 MB machine should still read as 512.
  constexpr std::uint64_t kMegabyte = 1048576;
  return std::to_string((total_bytes + kMegabyte / 2) / kMegabyte) + " MB";
}

std::string FreeMemoryText(unsigned memory_load_percent) {
  const unsigned load = memory_load_percent > 100 ? 100 : memory_load_percent;
  return std::to_string(100 - load) + "%";
}
