#include "app/track_list.h"

#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/list_type_ahead.h"
#include "cd/cddb_disc_info.h"
#include "common/strings.h"
#include "common/win_params.h"
#include "controls/list_view.h"
#include "res/main_window_ids.h"
#include "res/string_ids.h"
#include "rip/output_format.h"

namespace {

enum TrackColumn { kColumnIcon = 0, kColumnNumber = 1, kColumnName = 2, kColumnLength = 3 };
constexpr int kColumnTitles[] = {IDS_COLUMN_TRACK_ICON, IDS_COLUMN_TRACK_NUMBER, IDS_COLUMN_NAME, IDS_COLUMN_LENGTH, 0};
constexpr int kColumnWidths[] = {20, 26, 220, 60};
constexpr int kIconOtherTrack = 16;
constexpr int kIconMp3Track = 17;
constexpr int kIconWavTrack = 18;

struct TrackItemDeleter {
  void operator()(TrackItem* item) const {
    std::free(item->title);
    delete item;
  }
};
using TrackItemPtr = std::unique_ptr<TrackItem, TrackItemDeleter>;

ListViewCtl* g_list = nullptr;
std::vector<TrackItemPtr> g_items;
int g_format = kFormatWav;

bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

int TrackIcon(void*) {
  if (g_format == kFormatWav) return kIconWavTrack;
  if (g_format == kFormatMp3) return kIconMp3Track;
  return kIconOtherTrack;
}

int CompareText(const char* a, const char* b) { return _stricmp(a ? a : "", b ? b : ""); }

int CompareTracks(void* a, void* b, int column, int) {
  const auto* x = static_cast<TrackItem*>(a);
  const auto* y = static_cast<TrackItem*>(b);
  switch (column) {
    case kColumnName:
      return CompareText(x->title, y->title);
    case kColumnLength:
      return CompareText(x->length_text, y->length_text);
    default:
      return x->track_index - y->track_index;
  }
}

void CopyCellText(NMLVDISPINFOA* info, const char* text) {
  if (!info->item.pszText || info->item.cchTextMax <= 0) return;
  std::snprintf(info->item.pszText, size_t(info->item.cchTextMax), "%s", text ? text : "");
}

int DisplayTrackCell(ListViewCtl*, NMHDR* header) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
  const auto* item = reinterpret_cast<const TrackItem*>(info->item.lParam);
  if (!item) return 1;
  char number[12];
  switch (info->item.iSubItem) {
    case kColumnNumber:
      std::snprintf(number, sizeof number, "%d", item->track_index + 1);
      CopyCellText(info, number);
      break;
    case kColumnName:
      CopyCellText(info, item->title);
      break;
    case kColumnLength:
      CopyCellText(info, item->length_text);
      break;
    default:
      CopyCellText(info, "");
      break;
  }
  return 1;
}

int TrackKeyDown(ListViewCtl* list, NMHDR* header) {
  const auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
  const bool control = GetKeyState(VK_CONTROL) < 0;
  HWND window = GetParent(list->window);
  if (control && key->wVKey == 'A') {
    PostMessageA(window, WM_COMMAND, IDM_TRACK_SELECT_ALL, 0);
    return 1;
  }
  if (control && key->wVKey == 'C') {
    PostMessageA(window, WM_COMMAND, IDM_TRACK_COPY, 0);
    return 1;
  }
  if (control) return 0;
  const bool letter_or_digit = (key->wVKey >= 'A' && key->wVKey <= 'Z') || (key->wVKey >= '0' && key->wVKey <= '9');
  if (letter_or_digit) TypeAheadTrack(static_cast<char>(key->wVKey));
  return 0;
}

TrackMenuState (*g_menu_state)() = nullptr;

void PrepareMenu(ListViewCtl*, HMENU menu) {
  const TrackMenuState state = g_menu_state ? g_menu_state() : TrackMenuState{false, false};
  PrepareTrackMenu(menu, SelectedTrackCount(), state);
}

}  // namespace

void PrepareTrackMenu(HMENU menu, int selected_tracks, const TrackMenuState& state) {
  auto enable = [menu](int command, bool enabled) { EnableMenuItem(menu, UINT(command), MenuEnableFlags(enabled)); };
  enable(IDM_TRACK_RENAME, selected_tracks > 0);
  enable(IDM_TRACK_COPY, selected_tracks > 0);
  enable(IDM_TRACK_RIP, !state.ripping);
  enable(IDM_TRACK_REFRESH_CD, !state.ripping && !state.lookup_pending);
}

ListViewCtl* CreateTrackList(DialogFrame* frame, TrackMenuState (*menu_state)()) {
  g_menu_state = menu_state;
  ListViewParams params;
  params.frame = frame;
  params.control_id = IDC_TRACK_LIST;
  params.image_of_item = TrackIcon;
  params.extended_style = LVS_EX_FULLROWSELECT;
  params.compare = CompareTracks;
  params.context_menu = MAKEINTRESOURCEA(IDM_TRACK_LIST_MENU);
  params.menu_prepare = PrepareMenu;
  params.column_titles = kColumnTitles;
  params.column_widths = kColumnWidths;
  g_list = CreateListView(g_list, params);
  if (g_list) {
    g_list->on_display_info = DisplayTrackCell;
    g_list->on_key_down = TrackKeyDown;
  }
  return g_list;
}

void DestroyTrackList() {
  if (g_list) DestroyListView(g_list);
  g_list = nullptr;
  g_items.clear();
}

ListViewCtl* TrackListControl() { return g_list; }

void ClearTrackList() {
  if (g_list) ListViewDeleteAll(g_list);
  g_items.clear();
}

std::map<int, std::string> RenamedTrackTitles() {
  std::map<int, std::string> renamed;
  for (const TrackItemPtr& item : g_items) {
    if (item->title && std::strcmp(item->title, item->filled_title) != 0) renamed[item->track_index] = item->title;
  }
  return renamed;
}

void FillTrackList(const TrackTable& table, const std::vector<std::string>* lookup_titles,
                   const std::map<int, std::string>* kept) {
  ClearTrackList();
  const int count = table.count < 0 ? 0 : (table.count > cdda::kMaxTracks ? cdda::kMaxTracks : table.count);
  const bool use_lookup = lookup_titles && int(lookup_titles->size()) == count;
  std::vector<void*> rows;
  for (int i = 0; i < count; ++i) {
    TrackItemPtr item(new TrackItem{});
    item->title = static_cast<char*>(std::calloc(1, kTrackTitleBufferSize));
    if (!item->title) break;
    // A record may leave a track's title empty; the numbered title names a
    // file better than the artist alone.
    const std::string* title = use_lookup ? &(*lookup_titles)[size_t(i)] : nullptr;
    if (title && title->find_first_not_of(" \t") != std::string::npos) {
      CopyCut(item->title, title->c_str(), title->size(), kTrackTitleBufferSize - 1, IsAnsiLeadByte);
    } else {
      std::snprintf(item->title, kTrackTitleBufferSize, "%s %02d", LoadStringText(IDS_TRACK),
                    int(table.entries[i].number));
    }
    std::memcpy(item->filled_title, item->title, kTrackTitleBufferSize);
    if (kept) {
      const auto found = kept->find(i);
      if (found != kept->end()) {
        CopyCut(item->title, found->second.c_str(), found->second.size(), kTrackTitleBufferSize - 1, IsAnsiLeadByte);
      }
    }
    FormatTrackLength(table.entries[i].length, item->length_text, kTrackLengthTextSize);
    item->track_index = i;
    rows.push_back(item.get());
    g_items.push_back(std::move(item));
  }
  if (g_list) {
    ListViewFill(g_list, rows);
    ListViewResort(g_list);
  }
}

int TrackItemCount() { return int(g_items.size()); }

int SelectedTrackCount() {
  return g_list && g_list->window ? int(SendMessageA(g_list->window, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

bool TrackListHasFocus() { return g_list && g_list->window && GetFocus() == g_list->window; }

void SetTrackListFormat(int format) {
  g_format = format;
  if (g_list) ListViewRefreshImages(g_list);
}

int CollectTracksForJob(RipJob* job) {
  job->track_count = 0;
  if (!g_list || !g_list->window) return 0;
  const bool only_selected = SelectedTrackCount() > 0;
  const int rows = int(SendMessageA(g_list->window, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows && job->track_count < cdda::kMaxTracks; ++row) {
    if (only_selected &&
        !(SendMessageA(g_list->window, LVM_GETITEMSTATE, IndexParam(row), LVIS_SELECTED) & LVIS_SELECTED)) {
      continue;
    }
    const auto* item = static_cast<const TrackItem*>(ListViewItemAt(g_list, row));
    if (!item) continue;
    RipTrack& track = job->tracks[job->track_count++];
    track.track_index = item->track_index;
    CopyRipTitle(track.title, item->title, IsAnsiLeadByte);
  }
  return job->track_count;
}

void RenameCurrentTrack() {
  if (!g_list) return;
  auto* item = static_cast<TrackItem*>(g_list->current_item);
  if (!item) return;
  ListViewEditCurrent(g_list, 1, &item->title);
}

bool TypeAheadTrack(char c) {
  if (g_items.empty()) return false;
  return ListTypeAhead(g_list, c,
                       [](const void* item) -> const char* { return static_cast<const TrackItem*>(item)->title; });
}

const char* TrackTitleAt(int position) {
  const auto* item = g_list ? static_cast<const TrackItem*>(ListViewItemAt(g_list, position)) : nullptr;
  return item ? item->title : nullptr;
}

const char* TrackLengthTextAt(int position) {
  const auto* item = g_list ? static_cast<const TrackItem*>(ListViewItemAt(g_list, position)) : nullptr;
  return item ? item->length_text : nullptr;
}
