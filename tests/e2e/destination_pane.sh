#!/usr/bin/env bash
# The destination pane driven through corvale.exe: make a folder with Create
# Directory, rip two tracks of the demo disc into it, cut one file and paste
# it into a subfolder, delete the other (answering the shell's confirmation),
# checking the files on disk after each step.  Needs DISPLAY and WINEPREFIX
# (run it inside tools/with-wine.sh).
#   destination_pane.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
file_list=1020
create_directory=410
file_cut=40012
file_paste=422
file_delete=218
track1="Unknown Artist - Track 01.wav"
track2="Unknown Artist - Track 02.wav"

e2e_begin "$@"
mkdir -p "$root/trash"
# Deleted files go to the recycle bin, which Wine keeps here.
export XDG_DATA_HOME=$root/trash

fail() {
  echo "FAIL: $*" >&2
  timeout 30 import -window root "$artefacts/destination_pane_failure.png" 2>/dev/null
  [ -s "$root/corvale.log" ] && { echo "--- corvale.exe output:" >&2; cat "$root/corvale.log" >&2; }
  exit 1
}

# Polls a shell test for up to 10 s.
eventually() {
  for _ in $(seq 1 100); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

# Selects row N of a list with a click on its first row and N presses of Down.
# The folder watch may refill the list between the click and the keys, so a
# selection that did not come out right is made again, three times at most.
select_row() {
  local list=$1 row=$2 attempt
  for attempt in 1 2 3; do
    probe header-rect "$list" || fail "no header on list $list"
    read -r left _ _ bottom <<<"$answer"
    click $((left + 40)) $((bottom + 6))
    [ "$row" -gt 0 ] && { timeout 10 xdotool key --repeat "$row" Down || fail "xdotool could not press Down"; }
    eventually 'probe selection '"$list"' && [ "$answer" = "1 '"$row"'" ]' && return 0
    echo "selection attempt $attempt gave \"$answer\"" >&2
  done
  fail "list $list: selection is \"$answer\", wanted row $row alone"
}

echo "== starting corvale.exe with the output folder $out"
# The pane's entry counts below are of the tracks alone: no rip log beside them.
printf 'path=%s\\\r\nriplog=0\r\n' "$(windows_path "$out")" >"$work/config.ini"
start_corvale "$work"

echo "== Create Directory \"album\""
probe command $create_directory || fail "could not ask for Create Directory"
probe answer-box album 10000 || fail "no Create Directory dialog"
eventually '[ -d "$out/album" ]' || fail "no folder $out/album"
probe output-folder "$(windows_path "$out/album")\\" || fail "could not choose the new folder"
eventually 'probe item-count '$file_list' && [ "$answer" = 1 ]' || fail "the new folder lists $answer entries, wanted \"..\" alone"

echo "== ripping tracks 1 and 2 into it"
select_row $track_list 1
timeout 10 xdotool key shift+Up || fail "xdotool could not press Shift+Up"
eventually 'probe selection '$track_list' && [ "$answer" = "2 0 1" ]' || fail "track selection is \"$answer\""
probe rect $rip_button || fail "no RIP button"
read -r left top right bottom <<<"$answer"
click $(((left + right) / 2)) $(((top + bottom) / 2))
eventually '[ -f "$out/album/$track1" ] && [ -f "$out/album/$track2" ] && probe item-count '$file_list' && [ "$answer" = 3 ]' ||
  fail "the rip did not leave both tracks in the folder and the list: $(ls "$out/album")"

echo "== cutting track 1 and pasting it into a subfolder"
mkdir "$out/album/sub"
eventually 'probe item-count '$file_list' && [ "$answer" = 4 ]' || fail "the folder watch did not show the new subfolder"
# Rows: "..", "sub", track 1, track 2.
select_row $file_list 2
probe command $file_cut || fail "could not cut"
probe output-folder "$(windows_path "$out/album/sub")\\" || fail "could not enter the subfolder"
eventually 'probe item-count '$file_list' && [ "$answer" = 1 ]' || fail "the subfolder lists $answer entries"
probe command $file_paste || fail "could not paste"
eventually '[ -f "$out/album/sub/$track1" ] && [ ! -e "$out/album/$track1" ]' ||
  fail "track 1 was not moved: $(ls -R "$out/album")"
[ -f "$out/album/$track2" ] || fail "track 2 went away"

echo "== deleting track 2"
probe output-folder "$(windows_path "$out/album")\\" || fail "could not go back to the album folder"
eventually 'probe item-count '$file_list' && [ "$answer" = 3 ]' || fail "the album folder lists $answer entries"
select_row $file_list 2
timeout 30 import -window root "$artefacts/destination_pane.png" || fail "no screenshot"
echo "screenshot: $artefacts/destination_pane.png"
probe command $file_delete || fail "could not delete"
if probe answer-box - 5000; then echo "answered the shell's box \"$answer\""; fi
eventually '[ ! -e "$out/album/$track2" ]' || fail "track 2 is still there"
[ -f "$out/album/sub/$track1" ] || fail "track 1 went away with the delete"

echo "== closing"
close_corvale
grep -qF "outputRecentList0=$(windows_path "$out/album")" "$work/config.ini" ||
  fail "config.ini does not start the recent folders with the album folder"
echo "PASS"
