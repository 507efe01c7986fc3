#include "files/file_list.h"

#include <algorithm>
#include <cstring>

#include "common/path_utils.h"
#include "common/strings.h"
#include "files/dir_entry_rename.h"
#include "files/dir_listing.h"
#include "files/file_choosers.h"
#include "files/file_names.h"
#include "files/file_utils.h"
#include "res/string_ids.h"

namespace {

void FillFromEntries(ListViewCtl* list) {
  std::vector<void*> items;
  items.reserve(list->entries.size());
  for (auto& entry : list->entries) items.push_back(entry.get());
  ListViewFill(list, items);
  ListViewResort(list);
}

void ShowDrives(ListViewCtl* list) {
  list->entries = ListDrives();
  list->directory.clear();
}

}  // namespace

int FileListShowFolder(ListViewCtl* list, const char* path) {
  if (!list || !list->window || !path) return 0;
  const std::string folder = path;  // may point into list->directory
  ListViewDeleteAll(list);
  list->dragged_items.clear();
  list->drag_source_item = nullptr;
  list->drop_target_item = nullptr;
  list->entries.clear();
  list->current_item = nullptr;
  const bool drives_allowed = (list->listing_flags & kListDrives) != 0;
  if (drives_allowed && folder.empty()) {
    ShowDrives(list);
    FillFromEntries(list);
    return 1;
  }
  const bool listed = ListFolder(folder.c_str(), list->file_pattern.c_str(), list->listing_flags, &list->entries);
  const bool missing = !listed && !IsFolder(folder.c_str());
  // A folder that exists but cannot be read is still the one shown: what is
  // dropped or pasted must go there, not to the folder listed before.
  if (!missing) list->directory = folder;
  if (list->entries.empty() && missing) {
    if (drives_allowed) {
      ShowDrives(list);
      FillFromEntries(list);
      return 1;
    }
  }
  if (drives_allowed && !missing && (list->entries.empty() || list->entries.front()->kind != kDirEntryParent)) {
    bool has_parent = false;
    for (const auto& entry : list->entries) has_parent = has_parent || entry->kind == kDirEntryParent;
    if (!has_parent) {
      auto up = std::make_unique<DirEntry>();
      up->name = "..";
      up->kind = kDirEntryDriveRootUp;
      list->entries.insert(list->entries.begin(), std::move(up));
    }
  }
  FillFromEntries(list);
  return listed ? 1 : kFileListUnreadable;
}

int FileListSetPattern(ListViewCtl* list, const char* pattern) {
  if (!list || !list->window) return 0;
  list->file_pattern = pattern ? pattern : "";
  const std::string folder = list->directory;
  return FileListShowFolder(list, folder.c_str());
}

int FileListShowFolderKeepPath(ListViewCtl* list, const char* path) {
  if (!list || !list->window || !path) return 0;
  const std::string folder = path;
  FileListShowFolder(list, folder.c_str());
  list->directory = folder;
  FillFromEntries(list);
  return list->item_count;
}

int FileListNavigate(ListViewCtl* list) {
  auto* entry = static_cast<DirEntry*>(list ? list->current_item : nullptr);
  if (!entry) return 1;
  switch (entry->kind) {
    case kDirEntryFolder:
    case kDirEntryParent: {
      // A folder only a literal path reaches would become the folder
      // everything else is joined to.
      if (IsLiteralPath(entry->full_path.c_str())) {
        ShowErrorBox(GetActiveWindow(), "%s", LoadStringText(IDS_NAME_WINDOWS_REWRITES));
        break;
      }
      const std::string target = entry->full_path;
      FileListShowFolder(list, target.c_str());
      break;
    }
    case kDirEntryDrive: {
      const char letter = DriveLetterOfEntry(*entry);
      if (letter) {
        const char root[4] = {letter, ':', '\\', '\0'};
        FileListShowFolder(list, root);
      }
      break;
    }
    case kDirEntryDriveRootUp:
      FileListShowFolder(list, "");
      break;
    default:
      break;
  }
  return 1;
}

namespace {

// Where an entry moved into `folder` goes.  A name Windows would rewrite
// keeps its name only through a literal path.
std::string MovedPath(const std::string& folder, const std::string& name) {
  std::string moved_to = folder + "\\" + name;
  moved_to.push_back('\0');
  PathResolveDots(&moved_to[0], '\\');
  moved_to.resize(std::strlen(moved_to.c_str()));
  if (!NameWindowsRewrites(name.c_str())) return moved_to;
  const std::string literal = LiteralPathOf(moved_to);
  return literal.empty() ? "\\\\?\\" + moved_to : literal;
}

int FileListRename(ListViewCtl* list, NMLVDISPINFOA* info) {
  if (info->item.iItem == -1 || !info->item.pszText) return 0;
  // The edited row, which a mouse-started edit need not have made current.
  auto* entry = static_cast<DirEntry*>(ListViewItemAt(list, info->item.iItem));
  if (!entry) return 0;
  if (!RenameDirEntry(entry, list->directory.c_str(), info->item.pszText)) {
    ListViewUpdate(list, entry);
    return 0;
  }
  return 1;
}

}  // namespace

std::string FileListDropFolder(const ListViewCtl* list, const void* target, FileListDropKind kind) {
  // The drive list has no folder to put anything into.
  if (!list || list->directory.empty() || !target) return std::string();
  const bool own = kind == FileListDropKind::kOwnEntries;
  // Entries dropped on their own folder's background or on a file stay where they are.
  if (target == kListViewBackground) return own ? std::string() : list->directory;
  const auto* entry = static_cast<const DirEntry*>(target);
  switch (entry->kind) {
    case kDirEntryFolder:
    case kDirEntryParent: {
      const auto& dragged = list->dragged_items;
      if (own && std::find(dragged.begin(), dragged.end(), target) != dragged.end()) return std::string();
      // Nothing is written through a literal path: names made there would
      // be names only a literal path reaches.
      if (entry->full_path.empty() || IsLiteralPath(entry->full_path.c_str())) return std::string();
      return entry->full_path;
    }
    case kDirEntryFile:
      return own ? std::string() : list->directory;
    default:
      return std::string();  // drives and the ".." that leads to them
  }
}

void FileListDefaultDrop(ListViewCtl* list, HDROP drop) {
  if (!list) return;
  if (drop) {
    DroppedFiles(drop);
  } else {
    const std::string destination = FileListDropFolder(list, list->drop_target_item, FileListDropKind::kOwnEntries);
    const std::vector<void*> dragged = destination.empty() ? std::vector<void*>() : list->dragged_items;
    for (void* item : dragged) {
      auto* entry = static_cast<DirEntry*>(item);
      if (IsSpecialDirEntryKind(entry->kind)) continue;
      if (MoveFileA(entry->full_path.c_str(), MovedPath(destination, entry->name).c_str())) ListViewDelete(list, entry);
    }
  }
  list->drag_source_item = nullptr;
}

ListViewCtl* CreateFileList(ListViewCtl* existing, const ListViewParams& params, const FileListParams& file) {
  ListViewParams file_params = params;
  if (!file_params.compare) file_params.compare = CompareDirEntryItems;
  ListViewCtl* list = CreateFileModeListView(existing, file_params);
  if (!list) return nullptr;
  list->drop_handler = FileListDefaultDrop;
  list->rename_entry = FileListRename;
  list->open_entry = FileListNavigate;
  if (file.file_pattern) list->file_pattern = file.file_pattern;
  if (file.directory) {
    list->directory = file.directory;
  } else {
    char current[512] = "";
    if (GetCurrentDirectoryA(sizeof current, current) < sizeof current) list->directory = current;
  }
  list->listing_flags = file.listing_flags;
  if (file.file_pattern) {
    const std::string shown = list->directory;
    FileListShowFolder(list, shown.c_str());
  }
  return list;
}
