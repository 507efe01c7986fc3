#!/usr/bin/env bash
# The main window's layout survives a restart: the window is sized, its pane
# divider dragged with the mouse and a column of each list widened; after
# closing and starting again the window, the divider and the columns are as
# they were left.  Screenshots of both runs are kept.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   layout_restart.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

divider=1038
file_list=1020

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

e2e_script_cleanup() { forget_stored_layouts; }
e2e_begin "$@"

size_of() {
  local left top right bottom
  read -r left top right bottom <<<"$1"
  echo "$((right - left)) $((bottom - top))"
}

echo "== first run: size, drag the divider, widen columns"
start_corvale "$work"
main_id=$(timeout 10 xdotool search --name '^Corvale - ' | head -1)
[ -n "$main_id" ] || fail "xdotool cannot find the main window"
timeout 10 xdotool windowsize "$main_id" 960 640 || fail "cannot resize the main window"
sleep 1

probe rect $divider || fail "no divider"
read -r left top right bottom <<<"$answer"
start_left=$left
x=$(((left + right) / 2))
y=$(((top + bottom) / 2))
timeout 20 xdotool mousemove $x $y sleep 0.3 mousedown 1 sleep 0.2 \
  mousemove $((x - 30)) $y sleep 0.2 mousemove $((x - 60)) $y sleep 0.2 mousemove $((x - 80)) $y sleep 0.3 \
  mouseup 1 || fail "xdotool could not drag the divider"
sleep 0.5
probe rect $divider || fail "no divider"
read -r dragged_left _ <<<"$answer"
[ "$dragged_left" -eq $((start_left - 80)) ] ||
  fail "the divider moved from $start_left to $dragged_left, wanted $((start_left - 80))"

probe set-column-width $track_list 1 133 || fail "cannot widen a track list column"
probe set-column-width $file_list 0 177 || fail "cannot widen a file list column"
probe column-widths $track_list || fail "no track list columns"
tracks_before=$answer
probe column-widths $file_list || fail "no file list columns"
files_before=$answer
probe main-rect || fail "no main window rectangle"
window_before=$answer
probe rect $divider || fail "no divider"
divider_before=$answer
timeout 30 import -window root "$artefacts/layout_restart_first.png" || fail "no screenshot"
close_corvale

echo "== second run: the same layout"
start_corvale "$work"
sleep 1
probe main-rect || fail "no main window rectangle"
[ "$answer" = "$window_before" ] || fail "window is at \"$answer\", was \"$window_before\""
[ "$(size_of "$answer")" = "$(size_of "$window_before")" ] || fail "window size changed"
probe rect $divider || fail "no divider"
[ "$answer" = "$divider_before" ] || fail "divider is at \"$answer\", was \"$divider_before\""
probe column-widths $track_list || fail "no track list columns"
[ "$answer" = "$tracks_before" ] || fail "track list columns are \"$answer\", were \"$tracks_before\""
probe column-widths $file_list || fail "no file list columns"
[ "$answer" = "$files_before" ] || fail "file list columns are \"$answer\", were \"$files_before\""
timeout 30 import -window root "$artefacts/layout_restart_second.png" || fail "no screenshot"
echo "screenshots: $artefacts/layout_restart_first.png $artefacts/layout_restart_second.png"
close_corvale
echo "PASS"
