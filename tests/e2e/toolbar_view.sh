#!/usr/bin/env bash
# The main window's toolbar as a user meets it: shown with its buttons and
# kept as a screenshot with the status bar, hidden and shown again through
# View > Toolbar, and still hidden, with its customised buttons, after the
# program is started again.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   toolbar_view.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

toolbar=403
all_buttons="1042 1039 0 40014 318 359 0 410 218 0 196 0 7888"
without_rip="1042 0 40014 318 359 0 410 218 0 196 0 7888"
# The second button's centre, from the toolbar's left edge (16-pixel images
# in 23-pixel buttons).
rip_button_offset=34

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

e2e_script_cleanup() { forget_stored_layouts; }
e2e_begin "$@"

expect_toolbar() {
  probe toolbar $toolbar || fail "the main window has no toolbar"
  [ "$answer" = "$1" ] || fail "toolbar is \"$answer\", wanted \"$1\""
}

# View > Toolbar chosen with the keyboard; with a picture name, the open menu
# is kept as a screenshot first.
view_toolbar() {
  timeout 10 xdotool windowfocus --sync "$main_id" || fail "cannot focus the main window"
  timeout 10 xdotool key alt+v || fail "cannot open the View menu"
  sleep 0.5
  if [ -n "${1:-}" ]; then
    timeout 30 import -window root "$artefacts/$1" || fail "no screenshot"
    echo "screenshot: $artefacts/$1"
  fi
  timeout 10 xdotool key t || fail "cannot choose View > Toolbar"
  sleep 1
}

echo "== start: toolbar shown with every button"
start_corvale "$work"
expect_toolbar "visible $all_buttons"
main_id=$(timeout 10 xdotool search --name '^Corvale - ' | head -1)
[ -n "$main_id" ] || fail "xdotool cannot find the main window"
shot=$artefacts/toolbar_view.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

echo "== View > Toolbar hides it and shows it again"
view_toolbar toolbar_view_menu.png
expect_toolbar "hidden $all_buttons"
view_toolbar
expect_toolbar "visible $all_buttons"

echo "== RIP dragged off the toolbar with the Alt key"
probe rect $toolbar || fail "no toolbar rectangle"
read -r left top _ bottom <<<"$answer"
timeout 10 xdotool windowfocus --sync "$main_id" || fail "cannot focus the main window"
timeout 10 xdotool mousemove $((left + rip_button_offset)) $(((top + bottom) / 2)) sleep 0.3 keydown alt \
  sleep 0.2 mousedown 1 sleep 0.3 mousemove $((left + 40)) $((bottom + 20)) sleep 0.2 \
  mousemove $((left + 60)) $((bottom + 250)) sleep 0.3 mouseup 1 sleep 0.2 keyup alt ||
  fail "could not drag the button"
sleep 1
expect_toolbar "visible $without_rip"

echo "== hidden at the end, still hidden and customised after a restart"
view_toolbar
expect_toolbar "hidden $without_rip"
close_corvale
grep -qx 'view=0' "$work/config.ini" || fail "config.ini does not keep view=0"
start_corvale "$work"
expect_toolbar "hidden $without_rip"
main_id=$(timeout 10 xdotool search --name '^Corvale - ' | head -1)
view_toolbar
expect_toolbar "visible $without_rip"
close_corvale
echo "PASS"
