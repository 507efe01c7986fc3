#include "app/destination_pane.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "app/destination_pane_internal.h"
#include "app/edit_tag_dialog.h"
#include "app/list_type_ahead.h"
#include "app/main_window_state.h"
#include "app/recent_folders.h"
#include "app/settings.h"
#include "app/settings_save.h"
#include "common/image_lists.h"
#include "common/path_utils.h"
#include "common/strings.h"
#include "common/win_params.h"
#include "controls/dialog_frame.h"
#include "controls/status_bar.h"
#include "controls/frame_services.h"
#include "controls/list_view.h"
#include "files/create_dir_dialog.h"
#include "files/dir_listing.h"
#include "files/file_choosers.h"
#include "files/file_list.h"
#include "files/file_names.h"
#include "files/file_utils.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "rip/tag_layout.h"

namespace {

ListViewCtl* g_files = nullptr;
DestinationPaneServices g_services;

bool SystemOpenFile(HWND owner, const char* verb, const char* file, const char* folder, int show) {
  const HINSTANCE result = ShellExecuteA(owner, verb, file, nullptr, folder, show);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::string> SystemChooseFolder(HWND owner, const char* title, const char* start_folder) {
  return ChooseFolder(owner, title, start_folder, 0);
}

void EditTagsInDialog(const char* path) { RunEditTagDialog(Main().frame, path); }

DestinationPaneServices WithDefaults(DestinationPaneServices services) {
  if (!services.open_file) services.open_file = SystemOpenFile;
  if (!services.choose_folder) services.choose_folder = SystemChooseFolder;
  if (!services.edit_mp3_tag) services.edit_mp3_tag = EditTagsInDialog;
  return services;
}

HWND Window() { return Main().window; }
HWND Combo() { return GetDlgItem(Window(), IDC_OUTPUT_FOLDER); }

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(size_t(length) + 1, '\0');
  text.resize(size_t(GetWindowTextA(window, &text[0], length + 1)));
  return text;
}

std::string ResolvedFolder(std::string path) {
  path.push_back('\0');
  PathNormaliseSlashes(&path[0]);
  PathResolveDots(&path[0], '\\');
  path.resize(std::strlen(path.c_str()));
  return path;
}

void WriteRecentFolders(const std::vector<std::string>& folders) {
  HWND combo = Combo();
  if (!combo) return;
  const std::string shown = WindowText(combo);  // CB_RESETCONTENT empties the edit
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& folder : folders)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  SetWindowTextA(combo, shown.c_str());
}

void AddToRecent(const std::string& path) {
  std::vector<std::string> folders = RecentFolders();
  AddRecentFolder(&folders, path, kRecentOutputFolders);
  WriteRecentFolders(folders);
}

// The output folder becomes `path`, in the settings, the recent list and the combo.
void ShowAsOutputFolder(const std::string& path) {
  g_settings.path = path;
  AddToRecent(path);
  SetWindowTextA(Combo(), path.c_str());
}

// Lists the folder, saying so when it cannot be read: the list stays empty
// rather than looking like the folder shown before.
void ListOutputFolder(const std::string& folder) {
  if (FileListShowFolder(g_files, folder.c_str()) == kFileListUnreadable) {
    ShowErrorBox(Window(), "%s", LoadStringText(IDS_OUTPUT_FOLDER_UNREADABLE));
  }
}

// Icons of the file list: the shell's for folders and files, ours for drives
// and parent entries.
int FileEntryIcon(void* item) {
  constexpr int kDriveIcon = 3;
  constexpr int kParentIcon = 4;
  const auto* entry = static_cast<const DirEntry*>(item);
  if (!entry) return -1;
  switch (entry->kind) {
    case kDirEntryDrive:
      return kDriveIcon;
    case kDirEntryParent:
    case kDirEntryDriveRootUp:
      return kParentIcon;
    case kDirEntryFolder:
      return FolderIconIndex();
    default:
      return FileIconIndex(entry->full_path.c_str());
  }
}

// Neither a folder nor the shell's open takes a literal path safely: the
// folder would be joined to, and the shell does not take one.
bool RefusedAsLiteral(const DirEntry& entry) {
  if (!IsLiteralPath(entry.full_path.c_str())) return false;
  ShowErrorBox(Window(), "%s", LoadStringText(IDS_NAME_WINDOWS_REWRITES));
  return true;
}

void OpenFolderEntry(const DirEntry& entry) {
  if (RefusedAsLiteral(entry)) return;
  const int kind = entry.kind;
  const std::string listed = g_files->directory;
  // The entry's own path survives names outside the code page; its name may not.
  const std::string through =
      kind == kDirEntryDriveRootUp || entry.full_path.empty() ? listed + "\\" + entry.name : entry.full_path;
  ShowAsOutputFolder(ResolvedFolder(through + "\\"));
  if (kind == kDirEntryDriveRootUp) {
    FileListShowFolder(g_files, "");
  } else {
    ListOutputFolder(through);
  }
}

// The drive's root, not its display name: a volume label may hold parentheses.
void OpenDriveEntry(const DirEntry& entry) {
  const char letter = DriveLetterOfEntry(entry);
  if (!letter) return;
  const char root[4] = {letter, ':', '\\', '\0'};
  ShowAsOutputFolder(root);
  FileListShowFolder(g_files, root);
}

void OpenFileEntry(const DirEntry& entry, const char* verb, int show) {
  if (RefusedAsLiteral(entry)) return;
  const std::string folder = OutputFolder();
  const std::string file =
      entry.full_path.empty() ? std::string(PathJoin(folder.c_str(), entry.name.c_str())) : entry.full_path;
  if (!PaneServices().open_file(Window(), verb, file.c_str(), folder.c_str(), show)) ShowUnableToOpen();
}

void OpenEntry(const DirEntry& entry) {
  // Listing another folder frees the entry: work on a copy.
  const DirEntry copy = entry;
  switch (copy.kind) {
    case kDirEntryFolder:
    case kDirEntryParent:
    case kDirEntryDriveRootUp:
      OpenFolderEntry(copy);
      break;
    case kDirEntryDrive:
      OpenDriveEntry(copy);
      break;
    default:
      OpenFileEntry(copy, "open", SW_SHOWNORMAL);
      break;
  }
  UpdateCommandStates();
}

DirEntry* CurrentEntry() { return g_files ? static_cast<DirEntry*>(g_files->current_item) : nullptr; }

bool IsPlainEntry(const DirEntry* entry) { return entry && !IsSpecialDirEntryKind(entry->kind); }

void OpenCurrentEntry() {
  const DirEntry* entry = CurrentEntry();
  if (!IsPlainEntry(entry)) return;
  OpenFileEntry(*entry, "Open", SW_RESTORE);
}

int FileDoubleClick(ListViewCtl* list, NMHDR* header) {
  const auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
  const auto* entry = activate->iItem >= 0 ? static_cast<DirEntry*>(ListViewItemAt(list, activate->iItem)) : nullptr;
  if (entry) OpenEntry(*entry);
  return 1;
}

const char* EntryName(const void* item) { return static_cast<const DirEntry*>(item)->name.c_str(); }

int FileKeyDown(ListViewCtl* list, NMHDR* header) {
  const auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
  const bool control = GetKeyState(VK_CONTROL) < 0;
  int command = 0;
  if (control) {
    switch (key->wVKey) {
      case 'A':
        command = IDM_FILE_SELECT_ALL;
        break;
      case 'C':
        command = IDM_FILE_COPY;
        break;
      case 'V':
        command = IDM_FILE_PASTE;
        break;
      case 'X':
        command = IDM_FILE_CUT;
        break;
      default:
        return 0;
    }
  } else if (key->wVKey == VK_DELETE) {
    command = IDM_FILE_DELETE;
  }
  if (command) {
    PostMessageA(Window(), WM_COMMAND, WPARAM(command), 0);
    return 1;
  }
  const bool letter_or_digit = (key->wVKey >= 'A' && key->wVKey <= 'Z') || (key->wVKey >= '0' && key->wVKey <= '9');
  if (letter_or_digit) ListTypeAhead(list, static_cast<char>(key->wVKey), EntryName);
  return 0;
}

// The status bar's message part names the selected entry with its folder.
void ShowSelectedEntry(ListViewCtl* list) {
  std::string text;
  const DirEntry* entry = CurrentEntry();
  if (entry && SendMessageA(list->window, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
    text = list->directory;
    if (!text.empty() && text.back() != '\\') text += '\\';
    text += entry->name;
  }
  SetStatusText(list->frame, text.c_str(), kSelectionStatusPart);
}

void FileSelectionChanged(ListViewCtl* list, NMHDR*) {
  ShowSelectedEntry(list);
  UpdateCommandStates();
}

void PrepareMenu(ListViewCtl*, HMENU menu) { PrepareFileListMenu(menu); }

void BrowseForOutputFolder() {
  const std::string output = OutputFolder();
  const std::optional<std::string> chosen =
      PaneServices().choose_folder(Window(), LoadStringText(IDS_SELECT_OUTPUT_FOLDER), output.c_str());
  if (!chosen || chosen->empty() || _stricmp(chosen->c_str(), output.c_str()) == 0) return;
  std::string folder = *chosen;
  if (folder.back() != '\\') folder += '\\';
  AdoptOutputFolder(folder.c_str());
}

void TakeMask() {
  const std::string mask = WindowText(GetDlgItem(Window(), IDC_FILE_MASK));
  const std::string current = g_settings.list_mask ? *g_settings.list_mask : std::string();
  if (_stricmp(mask.c_str(), current.c_str()) == 0) return;
  g_settings.list_mask = mask;
  if (g_files) FileListSetPattern(g_files, mask.c_str());
  UpdateCommandStates();
}

bool ComboHasFocus() {
  HWND combo = Combo();
  HWND focus = GetFocus();
  return combo && focus && (focus == combo || IsChild(combo, focus));
}

void RenameCurrentEntry() {
  DirEntry* entry = CurrentEntry();
  if (IsPlainEntry(entry)) ListViewEditItem(g_files, entry);
}

void CreateDirectoryInOutputFolder() {
  if (!TakeTypedOutputFolder()) return;
  const std::string output = OutputFolder();
  CreateDirRequest request;
  request.parent = Main().frame;
  request.output_folder = output.c_str();
  request.refresh_file_list = [](void*) { RefreshFileList(); };
  RunCreateDirectoryDialog(request);
  RefreshFileList();
}

void EditMp3Tags() {
  for (const DirEntry* entry : SelectedFileEntries()) {
    if (entry->kind != kDirEntryFile) continue;
    const std::string path = entry->full_path.empty()
                                 ? std::string(PathJoin(g_files->directory.c_str(), entry->name.c_str()))
                                 : entry->full_path;
    PaneServices().edit_mp3_tag(path.c_str());
  }
  RefreshFileList();
}

int HandleOutputFolderCombo(int notification) {
  switch (notification) {
    case CBN_SELCHANGE:
    case CBN_CLOSEUP:
    case CBN_DBLCLK:
      // The chosen item reaches the edit text only after this notification.
      PostMessageA(Window(), WM_USER, kCheckOutputFolder, 0);
      break;
    case CBN_KILLFOCUS:
      CheckOutputFolderCombo();
      break;
    default:
      break;  // a folder is not adopted while it is being typed
  }
  return 1;
}

}  // namespace

ListViewCtl* PaneFileList() { return g_files; }

const DestinationPaneServices& PaneServices() {
  if (!g_services.open_file) g_services = WithDefaults(g_services);
  return g_services;
}

DestinationPaneServices SetDestinationPaneServices(const DestinationPaneServices& services) {
  const DestinationPaneServices previous = PaneServices();
  g_services = WithDefaults(services);
  return previous;
}

std::string OutputFolder() { return g_settings.path ? *g_settings.path : std::string(); }

std::vector<DirEntry*> SelectedFileEntries() {
  std::vector<DirEntry*> entries;
  if (!g_files || !g_files->window) return entries;
  for (int row = int(SendMessageA(g_files->window, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); row >= 0;
       row = int(SendMessageA(g_files->window, LVM_GETNEXTITEM, WPARAM(row), LVNI_SELECTED))) {
    if (auto* entry = static_cast<DirEntry*>(ListViewItemAt(g_files, row))) entries.push_back(entry);
  }
  return entries;
}

void ShowUnableToOpen() { ShowErrorBox(Window(), "%s", LoadStringText(IDS_UNABLE_TO_OPEN_FILE)); }

ListViewCtl* CreateDestinationPane(DialogFrame* frame) {
  static const int kFileColumns[] = {IDS_COLUMN_FILE_ICON, IDS_COLUMN_FILENAME, IDS_COLUMN_SIZE, IDS_COLUMN_DATE, 0};
  static const int kFileWidths[] = {20, 240, 70, 130};
  ListViewParams params;
  params.frame = frame;
  params.control_id = IDC_FILE_LIST;
  params.image_of_item = FileEntryIcon;
  params.extended_style = LVS_EX_FULLROWSELECT;
  params.context_menu = MAKEINTRESOURCEA(IDM_FILE_LIST_MENU);
  params.menu_prepare = PrepareMenu;
  params.column_titles = kFileColumns;
  params.column_widths = kFileWidths;
  FileListParams file;
  file.directory = g_settings.path ? g_settings.path->c_str() : "";
  file.file_pattern = g_settings.list_mask ? g_settings.list_mask->c_str() : kDefaultListMask;
  file.listing_flags = kListDrives;
  g_files = CreateFileList(g_files, params, file);
  if (g_files) {
    g_files->on_double_click = FileDoubleClick;
    g_files->on_key_down = FileKeyDown;
    g_files->on_selection_changed = FileSelectionChanged;
  }
  HookTrackListDrops();
  SetDropQuery(DropAllowedHere);
  g_settings_save_hooks.rebuild_recent_list = RebuildRecentFolders;
  return g_files;
}

void DestroyDestinationPane() {
  StopFolderWatch();
  EmptyFileClipboard();
  if (GetDropQuery() == DropAllowedHere) SetDropQuery(nullptr);
  if (g_settings_save_hooks.rebuild_recent_list == RebuildRecentFolders)
    g_settings_save_hooks.rebuild_recent_list = nullptr;
  if (g_files) DestroyListView(g_files);
  g_files = nullptr;
}

void AdoptOutputFolder(const char* path) {
  if (!path) return;
  ShowAsOutputFolder(path);
  if (g_files) ListOutputFolder(path);
  UpdateCommandStates();
}

namespace {

enum class ComboFolder { kSame, kAdopted, kUnusable };

ComboFolder AdoptComboFolder() {
  const std::string text = WindowText(Combo());
  if (text.empty() || _stricmp(text.c_str(), OutputFolder().c_str()) == 0) return ComboFolder::kSame;
  // "C:" alone means the current folder of drive C, which changes under us.
  if (!IsAbsoluteFolderPath(text.c_str()) || !IsFolder(text.c_str())) return ComboFolder::kUnusable;
  AdoptOutputFolder(text.c_str());
  return ComboFolder::kAdopted;
}

}  // namespace

void CheckOutputFolderCombo() { AdoptComboFolder(); }

bool TakeTypedOutputFolder() {
  if (!Combo() || AdoptComboFolder() != ComboFolder::kUnusable) return true;
  ShowErrorBox(Window(), "%s", LoadStringText(IDS_OUTPUT_FOLDER_UNUSABLE));
  return false;
}

std::vector<std::string> RecentFolders() {
  std::vector<std::string> folders;
  HWND combo = Combo();
  if (!combo) return folders;
  const int count = int(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(i), 0);
    if (length == CB_ERR) continue;
    std::string text(size_t(length) + 1, '\0');
    if (SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(&text[0])) == CB_ERR) continue;
    text.resize(std::strlen(text.c_str()));
    folders.push_back(text);
  }
  return folders;
}

void RebuildRecentFolders(AppSettings& settings) {
  // Without the window there is no newer list than the one loaded.
  if (!Combo()) return;
  const std::vector<std::string> folders = RecentFolders();
  for (size_t i = 0; i < settings.recent_output_folders.size(); ++i) {
    settings.recent_output_folders[i].reset();
    if (i < folders.size()) settings.recent_output_folders[i] = folders[i];
  }
}

void PrepareFileListMenu(HMENU menu) {
  if (!g_files || !menu) return;
  // A menu opened from the keyboard is for the focused item, wherever the mouse is.
  POINT cursor;
  GetCursorPos(&cursor);
  ScreenToClient(g_files->window, &cursor);
  LVHITTESTINFO hit = {};
  hit.pt = cursor;
  const int row = g_files->menu_from_keyboard
                      ? int(SendMessageA(g_files->window, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED))
                      : int(SendMessageA(g_files->window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row >= 0) {
    if (void* item = ListViewItemAt(g_files, row)) g_files->current_item = item;
  }
  auto enable = [menu](int command, bool enabled) { EnableMenuItem(menu, UINT(command), MenuEnableFlags(enabled)); };
  const DirEntry* current = CurrentEntry();
  const bool entry_commands = !SelectedFileEntries().empty() && IsPlainEntry(current);
  for (int command : {IDM_FILE_OPEN, IDM_FILE_DELETE, IDM_FILE_RENAME, IDM_FILE_COPY, IDM_FILE_CUT}) {
    enable(command, entry_commands);
  }
  // The file's own extension, not ".mp3" anywhere in its path.
  enable(IDM_EDIT_MP3_TAG,
         entry_commands && current->kind == kDirEntryFile && TagLayoutForFileName(current->name) != TagLayout::kNone);
  enable(IDM_FILE_PASTE, !FileClipboardEmpty() || Main().copied_tracks != 0);
}

int HandleDestinationCommand(int command, int notification) {
  switch (command) {
    case IDC_OUTPUT_FOLDER:
      return HandleOutputFolderCombo(notification);
    case IDOK:
      // Enter in the combo's edit reaches the dialog as its default button.
      if (ComboHasFocus()) CheckOutputFolderCombo();
      return 1;
    case IDC_BROWSE_FOLDER:
      if (notification == BN_CLICKED) BrowseForOutputFolder();
      return 1;
    case IDC_FILE_MASK:
      if (notification == EN_CHANGE) TakeMask();
      return 1;
    case IDM_OPEN:
    case IDM_FILE_OPEN:
      OpenCurrentEntry();
      return 1;
    case IDM_FILE_CUT:
    case IDM_FILE_COPY:
      CutOrCopyFileEntries(command == IDM_FILE_CUT);
      return 1;
    case IDM_PASTE:
    case IDM_FILE_PASTE:
      PasteIntoOutputFolder();
      return 1;
    case IDM_DELETE:
    case IDM_FILE_DELETE:
      DeleteSelectedFileEntries();
      return 1;
    case IDM_FILE_RENAME:
      RenameCurrentEntry();
      return 1;
    case IDM_CREATE_DIRECTORY:
      CreateDirectoryInOutputFolder();
      return 1;
    case IDM_EDIT_MP3_TAG:
      EditMp3Tags();
      return 1;
    case IDM_FILE_REFRESH:
      RefreshFileList();
      UpdateCommandStates();
      return 1;
    case IDM_FILE_SELECT_ALL:
      if (g_files) ListViewSelectAll(g_files);
      UpdateCommandStates();
      return 1;
    default:
      return 0;
  }
}
