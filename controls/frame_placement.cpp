#include "controls/frame_placement.h"

#include <string>

#include "controls/dialog_frame.h"
#include "controls/frame_services.h"
#include "controls/window_placement.h"

namespace {

std::string g_placement_text;

// The frame's placement as the placement text describes it.
WindowPlacementValues PlacementValuesOf(const DialogFrame* frame) {
  WindowPlacementValues values;
  values.normal_left = frame->normal_left;
  values.normal_top = frame->normal_top;
  values.normal_right = frame->normal_right;
  values.normal_bottom = frame->normal_bottom;
  values.show_state = frame->show_state;
  const FrameServices& services = FrameServicesTable();
  if (services.read_splitter_drags != nullptr) services.read_splitter_drags(frame, &values.splitter_drags);
  return values;
}

}  // namespace

const char* FormatFramePlacement(const DialogFrame* frame) {
  if (frame == nullptr) return nullptr;
  WindowPlacementValues values = PlacementValuesOf(frame);
  g_placement_text = FormatWindowPlacement(values);
  return g_placement_text.c_str();
}

void ParseFramePlacement(DialogFrame* frame, const char* text) {
  if (frame == nullptr || text == nullptr) return;
  WindowPlacementValues values = PlacementValuesOf(frame);
  ParseWindowPlacement(text, values);
  frame->normal_left = values.normal_left;
  frame->normal_top = values.normal_top;
  frame->normal_right = values.normal_right;
  frame->normal_bottom = values.normal_bottom;
  // Only the three known states are kept; anything else means normal.
  const bool known_state = values.show_state >= kShowNormal && values.show_state <= kShowMinimised;
  frame->show_state = static_cast<uint8_t>(known_state ? values.show_state : int{kShowNormal});
  const FrameServices& services = FrameServicesTable();
  if (services.write_splitter_drags != nullptr) services.write_splitter_drags(frame, values.splitter_drags);
}
