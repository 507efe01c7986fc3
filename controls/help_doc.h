// Help and tips documents and their viewer windows.  A document is opened
// once at start-up and lives until exit; its window opens and closes many
// times.  The help window follows the focused control's topic and keeps a
// history for Back and Forward; the tips window steps through the tips one
// by one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/help_history.h"
#include "controls/help_topic_store.h"

struct DialogFrame;
struct PageView;
struct RichEditViewer;

enum HelpDocFlags : unsigned {
  kHelpWindow = 1,         // a help window (Back and Forward)
  kHelpTipsStyle = 2,      // steps through topics with Previous and Next
  kHelpNavigation = 4,     // window with navigation buttons; one shared frame per style
  kHelpTipsAtStartup = 8,  // the "show tips at start-up" box is ticked
};

// What the help pane of a frame is opened with.
constexpr int kHelpPaneResourceId = 6000;
constexpr unsigned kHelpPaneFlags = kHelpWindow | kHelpNavigation;

struct HelpDoc {
  DialogFrame* frame = nullptr;        // the viewer window's frame
  DialogFrame* owner_frame = nullptr;  // the frame that opened the help
  int resource_id = 0;
  unsigned flags = 0;
  std::string document_path;
  std::string index_path;
  HelpTopicStore topics;
  HelpHistory history;
  std::string composed;  // head + topic + closing text last extracted
  std::uint32_t next_topic_offset = 0;
  int return_topic = 0;                   // tips: where Previous goes after a followed link
  int current_topic = -1;                 // -1 none; 0 after the tips window closed
  int last_tip_shown = 0;                 // the tip to remember across runs
  bool frame_borrowed = false;            // the frame is shared, not freed with the document
  PageView* page_view = nullptr;          // HTML documents
  RichEditViewer* rich_viewer = nullptr;  // other documents
};

// Opens `file_name` (its language variant when there is one) beside the
// program.  Null when the document cannot be read.
HelpDoc* OpenHelpDocument(const char* file_name, int resource_id, unsigned flags);
// Closes the document's window when it shows this document, and frees it.
void CloseHelpDocument(HelpDoc* doc);
// Frees the frames the documents share; after every document is closed.
void ReleaseSharedHelpFrames();

// 1 when topic `number` was shown; 0 when nothing changed (no window, help
// muted, already shown) or the topic could not be read.
int ShowHelpTopic(HelpDoc* doc, int number);
void HelpBack(HelpDoc* doc);
void HelpForward(HelpDoc* doc);

// The composed text of topic `number` (head, topic, closing text), or null.
const char* ExtractHelpTopic(HelpDoc* doc, int number);
int HelpDocumentCodePage(const HelpDoc* doc);

// The help window at the topic of `id` in `owner`'s help map.
void OpenHelpWindow(DialogFrame* owner, HelpDoc* doc, int id);
// The tips window at tip `topic` (tip 1 when that one cannot be shown).
void OpenTipsWindow(DialogFrame* owner, HelpDoc* doc, int topic);
// The window showing `doc`, or null.
HWND HelpDocumentWindow(const HelpDoc* doc);

// Fills the frame's help slots: help panes open help documents.
void InstallHelpViewer();

// The topic a link clicked in the document's window names ("#n", or the
// document's own path and "#n"), or 0 when it is no topic link.
int HelpLinkTopic(const HelpDoc* doc, const char* url);
// Shows that topic in the same window; a tips document remembers the tip it
// came from for Previous.
void FollowHelpTopicLink(HelpDoc* doc, int topic);
