#!/usr/bin/env bash
# Help and tips as a user meets them: F1 on the track list opens the help
# window at the track list's topic, a link in it shows another topic and Back
# returns; a tip is shown at start-up when the user wants one and none when
# not.  Both windows keep their controls in place when sized, the buttons and
# the viewer above the status bar.  Screenshots of the help and the tips
# window are kept, as they open and after sizing.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   help_and_tips.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

track_list=1044
viewer=1000
back_button=1001
forward_button=1002
close_button=2
help_title="Help"
tips_title="Tip of the Day"

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
documents=$(cd "$(dirname "$0")/help_documents" && pwd)

e2e_begin "$@"

# The documents sit beside the program: run a copy of it with the test's own.
use_program_copy
cp "$documents"/help.htm "$documents"/tips.htm "$program"/

viewer_text() {
  probe text "$1" $viewer || fail "no viewer in the \"$1\" window"
}

wait_viewer_text() {
  local title=$1 wanted=$2
  for _ in $(seq 1 50); do
    probe text "$title" $viewer >/dev/null 2>&1 && [[ $answer == *"$wanted"* ]] && return 0
    sleep 0.2
  done
  fail "the \"$title\" window shows \"${answer:-nothing}\", wanted \"$wanted\""
}

# Sizes window $1 as a user would, to $2 x $3 or, when it has about that
# size already (windows reopen at their stored size), to $4 x $5.  Reads its
# client area and the top of its status bar into client_right, client_bottom
# and status_top.
resize_window() {
  local title=$1 width=$2 height=$3 id left right
  id=$(timeout 10 xdotool search --name "^$title\$" | head -1)
  [ -n "$id" ] || fail "xdotool cannot find the \"$title\" window"
  probe client-and-status "$title" || fail "cannot read the \"$title\" window"
  local before=$answer
  read -r left _ right _ <<<"$answer"
  if (((right - left) > width - 60)); then
    width=$4
    height=$5
  fi
  timeout 10 xdotool windowsize "$id" "$width" "$height" || fail "cannot resize the \"$title\" window"
  for _ in $(seq 1 25); do
    sleep 0.2
    probe client-and-status "$title" || fail "cannot read the \"$title\" window"
    [ "$answer" != "$before" ] && break
  done
  [ "$answer" != "$before" ] || fail "the \"$title\" window kept its size"
  read -r _ _ client_right client_bottom status_top <<<"$answer"
  ((status_top < client_bottom)) || fail "the \"$title\" window's status bar is not at its bottom: $answer"
}

# Child $2 of window $1 must have its right edge at $3 and its bottom at $4
# ("-" for either: not checked).
expect_edges() {
  local title=$1 id=$2 right=$3 bottom=$4 got_right got_bottom
  probe wait-rect "$title" "$id" 5000 || fail "no control $id in the \"$title\" window"
  read -r _ _ got_right got_bottom <<<"$answer"
  [ "$right" = - ] || [ "$got_right" -eq "$right" ] ||
    fail "control $id of \"$title\" ends at x $got_right, wanted $right"
  [ "$bottom" = - ] || [ "$got_bottom" -eq "$bottom" ] ||
    fail "control $id of \"$title\" ends at y $got_bottom, wanted $bottom"
}

echo "== a tip at start-up with tips on"
printf 'path=%s\\\r\ntips=8\r\nlasttip=0\r\n' "$(windows_path "$out")" >"$work/config.ini"
start_corvale "$work"
probe wait-rect "$tips_title" $viewer 15000 || fail "no tips window at start-up"
wait_viewer_text "$tips_title" "Tip one"
sleep 0.5
timeout 30 import -window root "$artefacts/tips_window.png" || fail "no screenshot"
echo "screenshot: $artefacts/tips_window.png"

echo "== the tips window sized"
resize_window "$tips_title" 620 440 500 360
expect_edges "$tips_title" $close_button $((client_right - 10)) "$status_top"
expect_edges "$tips_title" $forward_button - "$status_top"
expect_edges "$tips_title" $viewer $((client_right - 10)) -
sleep 0.5
timeout 30 import -window root "$artefacts/tips_window_sized.png" || fail "no screenshot"
echo "screenshot: $artefacts/tips_window_sized.png"

echo "== the tips window's Close button"
probe wait-rect "$tips_title" 2 5000 || fail "no Close button in the tips window"
click_rect "$answer"
# A window without a window manager takes a moment to go.
for _ in $(seq 1 25); do
  probe text "$tips_title" $viewer >/dev/null 2>&1 || break
  sleep 0.2
done
probe text "$tips_title" $viewer >/dev/null 2>&1 && fail "the tips window is still open after Close"

echo "== F1 on the track list"
probe header-rect $track_list || fail "no header on the track list"
read -r left _ _ bottom <<<"$answer"
click $((left + 40)) $((bottom + 6))
sleep 0.5
timeout 10 xdotool key F1 || fail "cannot press F1"
probe wait-rect "$help_title" $viewer 15000 || fail "no help window after F1"
read -r vleft vtop _ _ <<<"$answer"
wait_viewer_text "$help_title" "Track list topic"

echo "== a link to another topic, then Back"
# The link opens the topic; where its line lies depends on the page's
# layout, so the first few lines are tried.
for line in 0 1 2 3 4 5; do
  click $((vleft + 25)) $((vtop + 10 + 16 * line))
  sleep 0.5
  probe text "$help_title" $viewer >/dev/null 2>&1 && [[ $answer == *"File list topic: the files"* ]] && break
done
wait_viewer_text "$help_title" "File list topic: the files"
sleep 0.5
timeout 30 import -window root "$artefacts/help_window.png" || fail "no screenshot"
echo "screenshot: $artefacts/help_window.png"
probe wait-rect "$help_title" $back_button 5000 || fail "no Back button"
click_rect "$answer"
wait_viewer_text "$help_title" "Track list topic"

echo "== the help window sized"
resize_window "$help_title" 720 520 560 420
expect_edges "$help_title" $forward_button $((client_right - 10)) -
expect_edges "$help_title" $viewer $((client_right - 10)) "$status_top"
sleep 0.5
timeout 30 import -window root "$artefacts/help_window_sized.png" || fail "no screenshot"
echo "screenshot: $artefacts/help_window_sized.png"

echo "== Escape closes the help window"
# A click on an empty part of the viewer gives the window the keyboard.
probe wait-rect "$help_title" $viewer 5000 || fail "no viewer"
read -r left _ _ bottom <<<"$answer"
click $((left + 200)) $((bottom - 20))
sleep 0.5
timeout 10 xdotool key Escape || fail "cannot press Escape"
for _ in $(seq 1 25); do
  probe text "$help_title" $viewer >/dev/null 2>&1 || break
  sleep 0.2
done
probe text "$help_title" $viewer >/dev/null 2>&1 && fail "the help window is still open after Escape"
close_corvale
grep -q '^lasttip=1' "$work/config.ini" || fail "the tip shown was not saved: $(grep lasttip "$work/config.ini")"

echo "== no tip at start-up with tips off"
printf 'path=%s\\\r\ntips=0\r\n' "$(windows_path "$out")" >"$work/config.ini"
start_corvale "$work"
probe wait-rect "$tips_title" $viewer 3000 >/dev/null 2>&1 && fail "a tip was shown with tips off"
close_corvale
echo "PASS"
