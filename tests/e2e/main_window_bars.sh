#!/usr/bin/env bash
# The main window's status bar and owner-drawn menus as a user sees them:
# the bar's three parts follow the window's width, and the File menu opens
# and is kept as a screenshot, with the window and its status bar.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   main_window_bars.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

status_right_part=87

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
e2e_begin "$@"

check_parts() {
  local client edges
  probe status-parts || fail "the main window has no status bar"
  read -r client edges <<<"$answer"
  [ "$edges" = "1 $((client - status_right_part)) -1" ] ||
    fail "status parts are \"$edges\" for a client width of $client"
}

echo "== start"
start_corvale "$work"
check_parts
main_id=$(timeout 10 xdotool search --name '^Corvale - ' | head -1)
[ -n "$main_id" ] || fail "xdotool cannot find the main window"

echo "== wider window, parts follow"
timeout 10 xdotool windowsize "$main_id" 900 600 || fail "cannot resize the main window"
sleep 1
check_parts

echo "== the File menu, owner-drawn"
timeout 10 xdotool windowactivate --sync "$main_id" key alt+f >/dev/null 2>&1 ||
  timeout 10 xdotool key alt+f || fail "cannot open the File menu"
sleep 1
shot=$artefacts/main_window_bars.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"
timeout 10 xdotool key Escape Escape

close_corvale
echo "PASS"
