#include "controls/help_doc.h"

#include <cstdio>
#include <cstring>

#include "common/common_library.h"
#include "common/folder_access.h"
#include "common/language.h"
#include "common/link_macros.h"
#include "common/url_links.h"
#include "common/working_folder.h"
#include "controls/dialog_frame.h"
#include "controls/dialog_resources.h"
#include "controls/frame_services.h"
#include "controls/help_paths.h"
#include "controls/page_view.h"
#include "controls/rich_edit_viewer.h"
#include "dialogs/dialog_ids.h"

namespace {

// One frame for all tips-style documents with navigation and one for all
// help-style ones.
DialogFrame* g_shared_frames[2] = {nullptr, nullptr};

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  char* separator = std::strrchr(path, '\\');
  if (separator == nullptr) return std::string();
  separator[1] = '\0';
  return path;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Where the indexes of the program folder's documents go when that folder
// takes no files (Program Files for a standard user): the working folder,
// with a trailing backslash; empty while they can stay beside their documents.
// Asked once a run: the answer does not change while the program runs.
std::string IndexFolder(const std::string& program_folder) {
  static const bool program_folder_takes_files = FolderTakesNewFiles(program_folder);
  if (program_folder_takes_files) return std::string();
  return WorkingFolderPath("");
}

// The folder that holds `path`, made when missing (the "lang" folder below
// the working folder); its parent must exist.
void MakeParentFolder(const std::string& path) {
  const std::size_t separator = path.find_last_of('\\');
  if (separator == std::string::npos || separator == 0) return;
  const std::string parent = path.substr(0, separator);
  if (!PathExists(parent)) CreateDirectoryA(parent.c_str(), nullptr);
}

// A second instance may be writing the same index: each writes its own new
// file and puts it in place in one step.
bool WriteIndexFile(const std::string& path, const std::string& bytes) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%lu.new", static_cast<unsigned long>(GetCurrentProcessId()));
  const std::string new_file = path + suffix;
  std::FILE* file = std::fopen(new_file.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (written && closed && MoveFileExA(new_file.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(new_file.c_str());
  return false;
}

void EnableItem(HWND window, int id, bool enable) {
  if (HWND item = GetDlgItem(window, id)) EnableWindow(item, enable ? TRUE : FALSE);
}

// The document whose window the frame shows now.
HelpDoc* DocumentOfWindow(const DialogFrame* frame) {
  return frame != nullptr && frame->window != nullptr ? static_cast<HelpDoc*>(frame->owner_param) : nullptr;
}

bool Display(HelpDoc* shown_by, const std::string& text, const char* base) {
  if (shown_by->page_view != nullptr) return ShowPage(shown_by->page_view, text.c_str(), base) != 0;
  if (shown_by->rich_viewer != nullptr) return SetRichViewerText(shown_by->rich_viewer, text.c_str(), base) != 0;
  return false;
}

void UpdateNavigation(HelpDoc* doc, int number) {
  if (!(doc->flags & kHelpNavigation) || doc->frame->window == nullptr) return;
  HWND window = doc->frame->window;
  if (doc->flags & kHelpTipsStyle) {
    EnableItem(window, IDC_TIPS_NEXT, doc->next_topic_offset != 0);
    EnableItem(window, IDC_TIPS_PREVIOUS, doc->return_topic != 0 || number > 1);
  } else {
    EnableItem(window, IDC_HELP_FORWARD, doc->history.CanGoForward());
    EnableItem(window, IDC_HELP_BACK, doc->history.CanGoBack());
  }
}

}  // namespace

HelpDoc* OpenHelpDocument(const char* file_name, int resource_id, unsigned flags) {
  if (file_name == nullptr || *file_name == '\0') return nullptr;
  auto* doc = new HelpDoc;
  doc->resource_id = resource_id;
  doc->flags = flags;
  const bool html_mode = IsHtmlDocumentName(file_name);
  if (!html_mode) LoadRichEditLibraries();

  const std::string program_folder = ProgramFolder();
  const HelpDocumentPaths paths = ChooseHelpDocumentPaths(program_folder, file_name, GetLanguageCode(), PathExists);
  const std::string index_folder = IndexFolder(program_folder);
  // The variant's index is made afresh at every open, so it always matches.
  if (!paths.stale_index.empty()) {
    DeleteFileA(PlacedIndexPath(paths.stale_index, program_folder, index_folder).c_str());
  }
  doc->document_path = paths.document;
  doc->index_path = PlacedIndexPath(TopicIndexPath(paths.document), program_folder, index_folder);
  if (!index_folder.empty()) MakeParentFolder(doc->index_path);
  if (!doc->topics.Open(doc->document_path, doc->index_path, html_mode, WriteIndexFile)) {
    delete doc;
    return nullptr;
  }

  if (flags & kHelpNavigation) {
    DialogFrame*& shared = g_shared_frames[(flags & kHelpTipsStyle) ? 1 : 0];
    if (shared == nullptr) shared = NewDialogFrame();
    doc->frame = shared;
    doc->frame_borrowed = true;
  } else {
    doc->frame = NewDialogFrame();
  }
  if (doc->frame == nullptr) {
    delete doc;
    return nullptr;
  }
  return doc;
}

HWND HelpDocumentWindow(const HelpDoc* doc) {
  if (doc == nullptr || DocumentOfWindow(doc->frame) != doc) return nullptr;
  return doc->frame->window;
}

void CloseHelpDocument(HelpDoc* doc) {
  if (doc == nullptr) return;
  // The window's procedure still needs the document while it goes.
  if (HWND window = HelpDocumentWindow(doc)) DestroyWindow(window);
  if (doc->frame != nullptr && doc->frame->owner_param == doc) doc->frame->owner_param = nullptr;
  if (!doc->frame_borrowed) FreeDialogFrame(doc->frame);
  delete doc;
}

void ReleaseSharedHelpFrames() {
  for (DialogFrame*& frame : g_shared_frames) {
    if (frame != nullptr && frame->window != nullptr) DestroyWindow(frame->window);
    FreeDialogFrame(frame);
    frame = nullptr;
  }
}

const char* ExtractHelpTopic(HelpDoc* doc, int number) {
  if (doc == nullptr) return nullptr;
  const TopicText topic = doc->topics.Extract(number);
  if (topic.lookup != TopicLookup::kFound) return nullptr;
  doc->next_topic_offset = topic.next_offset;
  TopicMacros macros;
  macros.language_code = GetLanguageCode();
  macros.product = LibraryProductName();
  doc->composed = ComposeTopic(doc->topics.head().text, topic.text, doc->topics.html_mode(), macros);
  return doc->composed.c_str();
}

int HelpDocumentCodePage(const HelpDoc* doc) {
  return doc != nullptr ? doc->topics.head().code_page : kDefaultDocumentCodePage;
}

int ShowHelpTopic(HelpDoc* doc, int number) {
  if (doc == nullptr || doc->frame == nullptr || doc->frame->window == nullptr || GlobalHelpMute()) return 0;
  HelpDoc* shown_by = DocumentOfWindow(doc->frame);
  if (shown_by == nullptr) return 0;
  if (number == doc->current_topic) return 0;
  bool shown = false;
  if (const char* composed = ExtractHelpTopic(doc, number)) {
    std::string text = composed;
    if (TranslationHook hook = GetTranslationHook()) {
      if (const char* replaced = hook(text.c_str())) text = replaced;
    }
    shown = Display(shown_by, text, doc->document_path.c_str());
  }
  doc->history.Push(number);
  UpdateNavigation(doc, number);
  doc->current_topic = number;
  if (shown && (doc->flags & kHelpTipsStyle)) doc->last_tip_shown = number;
  return shown ? 1 : 0;
}

void HelpBack(HelpDoc* doc) {
  if (doc == nullptr || !doc->history.CanGoBack()) return;
  ShowHelpTopic(doc, doc->history.Back());
}

void HelpForward(HelpDoc* doc) {
  if (doc == nullptr || !doc->history.CanGoForward()) return;
  ShowHelpTopic(doc, doc->history.Forward());
}

int HelpLinkTopic(const HelpDoc* doc, const char* url) {
  if (doc == nullptr || url == nullptr) return 0;
  // A topic link may come back made absolute against the document's path.
  const char* hash = std::strrchr(url, '#');
  if (hash == nullptr) return 0;
  const std::string before(url, hash);
  if (!before.empty() && lstrcmpiA(before.c_str(), doc->document_path.c_str()) != 0) return 0;
  const int topic = LinkTopicNumber(hash);
  return topic > 0 ? topic : 0;
}

void FollowHelpTopicLink(HelpDoc* doc, int topic) {
  if (doc == nullptr || topic <= 0) return;
  const bool tips = (doc->flags & kHelpTipsStyle) != 0;
  const int old_return = doc->return_topic;
  // Set first, so that Previous is enabled along with the new tip.
  if (tips && doc->current_topic > 0) doc->return_topic = doc->current_topic;
  if (!ShowHelpTopic(doc, topic) && tips) doc->return_topic = old_return;
}
