#!/usr/bin/env bash
# The main window as a new user first sees it: with no stored layout it opens
# at its template's size, and the output folder and format boxes of the
# destination pane are wide enough to read.  Kept as a screenshot.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   main_window_first_run.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

output_folder=1027
format_box=1014
file_mask=1022
# ".ogg Encoded by vorbis" shows most of its name at this width.
readable_width=100

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
e2e_begin "$@"

width_of() {
  local left top right bottom
  probe rect "$1" || fail "no control $1"
  read -r left top right bottom <<<"$answer"
  echo $((right - left))
}

echo "== start with no stored layout"
start_corvale "$work"
sleep 1
for id in $output_folder $format_box; do
  width=$(width_of $id)
  echo "control $id: $width pixels wide"
  [ "$width" -ge $readable_width ] || fail "control $id is only $width pixels wide"
done
probe rect $output_folder
read -r _ _ folder_right _ <<<"$answer"
probe rect $file_mask
read -r mask_left _ _ _ <<<"$answer"
[ "$mask_left" -ge "$folder_right" ] || fail "the file mask overlaps the output folder box"

shot=$artefacts/main_window_first_run.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

close_corvale
echo "PASS"
