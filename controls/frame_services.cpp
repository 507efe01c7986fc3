#include "controls/frame_services.h"

namespace {

FrameServices g_services = {};
TranslationHook g_translation_hook = nullptr;
ChildWindowHook g_child_hook = nullptr;
DropQuery g_drop_query = nullptr;
bool g_help_mute = false;
int g_last_focused_list_id = 0;

}  // namespace

FrameServices& FrameServicesTable() { return g_services; }

void SetTranslationHook(TranslationHook hook) { g_translation_hook = hook; }
TranslationHook GetTranslationHook() { return g_translation_hook; }
void SetChildWindowHook(ChildWindowHook hook) { g_child_hook = hook; }
ChildWindowHook GetChildWindowHook() { return g_child_hook; }
void SetDropQuery(DropQuery query) { g_drop_query = query; }
DropQuery GetDropQuery() { return g_drop_query; }
void SetGlobalHelpMute(bool muted) { g_help_mute = muted; }
bool GlobalHelpMute() { return g_help_mute; }
void SetLastFocusedListId(int control_id) { g_last_focused_list_id = control_id; }
int LastFocusedListId() { return g_last_focused_list_id; }
