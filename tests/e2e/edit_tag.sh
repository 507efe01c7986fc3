#!/usr/bin/env bash
# Edit Tag through corvale.exe: in the file list, the context menu (from the
# keyboard, as for the focused row) of an .mp3 and of a .flac, "Edit Tag...",
# a new title, OK; Debian's mutagen must read the new title and the audio
# must decode as before.  A read-only .mp3 gets a message and stays as it
# was.  Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   edit_tag.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
file_list=1020

e2e_begin "$@"
/usr/bin/python3 -c 'import mutagen' 2>/dev/null || fail "no python3-mutagen (tools/bootstrap.sh installs it)"

# Polls a shell test for up to 10 s.
eventually() {
  for _ in $(seq 1 100); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

# The title as mutagen reads it ("" for none).
title_of() {
  /usr/bin/python3 -c 'import sys, mutagen; f = mutagen.File(sys.argv[1], easy=True); print((f.get("title") or [""])[0])' "$1"
}

# The file's audio as 16-bit PCM, decoded natively.
decode() {
  case $1 in
    *.mp3) lame --quiet --decode -t "$1" "$2" ;;
    *.flac) flac --silent --decode --force-raw-format --endian=little --sign=signed -f -o "$2" "$1" ;;
  esac
}

echo "== files made natively"
python3 - "$root/tone.wav" <<'PYTHON'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2)
    w.setsampwidth(2)
    w.setframerate(44100)
    w.writeframes(b"".join(struct.pack("<hh", int(8000 * math.sin(i / 20)), int(8000 * math.sin(i / 30)))
                           for i in range(44100)))
PYTHON
lame --quiet --tt "Old Song" --ta "Old Band" --id3v2-only "$root/tone.wav" "$out/1 song.mp3" || fail "lame could not encode"
flac --silent -T "TITLE=Old Piece" -T "ARTIST=Old Band" -o "$out/2 piece.flac" "$root/tone.wav" || fail "flac could not encode"
cp "$out/1 song.mp3" "$out/3 locked.mp3"
chmod a-w "$out/3 locked.mp3"
cp "$out/3 locked.mp3" "$root/locked.before"
for file in "$out/1 song.mp3" "$out/2 piece.flac"; do
  decode "$file" "$root/$(basename "$file").before.raw" || fail "$file does not decode"
done

# Starts the program with the file list masked to the one file $1, so that
# it is row 1 (after "..") whatever the list is sorted by.
start_showing() {
  printf 'path=%s\\\r\nlmask=%s\r\n' "$(windows_path "$out")" "$1" >"$work/config.ini"
  start_corvale "$work"
  eventually 'probe item-count '$file_list' && [ "$answer" = 2 ]' || fail "the file list shows $answer entries, wanted 2"
}

# Focuses row N, opens the list's context menu from the keyboard and picks
# Edit Tag by its access key.
edit_tag_of_row() {
  local row=$1 attempt
  for attempt in 1 2 3; do
    probe header-rect $file_list || fail "no header on the file list"
    read -r left _ _ bottom <<<"$answer"
    click $((left + 40)) $((bottom + 6))
    timeout 10 xdotool key --repeat "$row" Down || fail "xdotool could not press Down"
    eventually 'probe selection '$file_list' && [ "$answer" = "1 '"$row"'" ]' && break
  done
  [ "$answer" = "1 $row" ] || fail "file list selection \"$answer\", wanted row $row"
  timeout 10 xdotool key shift+F10 || fail "xdotool could not open the context menu"
  sleep 0.5
  timeout 10 xdotool key e || fail "xdotool could not pick Edit Tag"
}

check_retitled() {
  local file=$1 old=$2 new=$3
  echo "== Edit Tag of $(basename "$file")"
  start_showing "$(basename "$file")"
  edit_tag_of_row 1
  probe answer-box "$new" 10000 || fail "no Edit Tag dialog for $(basename "$file")"
  [ "$answer" = "Edit Tag	$old" ] || fail "the dialog showed \"$answer\", wanted the title \"$old\""
  eventually '[ "$(title_of "$file")" = "$new" ]' || fail "mutagen reads the title \"$(title_of "$file")\", wanted \"$new\""
  [ "$(/usr/bin/python3 -c 'import sys, mutagen; print(mutagen.File(sys.argv[1], easy=True)["artist"][0])' "$file")" = "Old Band" ] ||
    fail "the artist changed"
  decode "$file" "$root/after.raw" || fail "$(basename "$file") no longer decodes"
  cmp -s "$root/after.raw" "$root/$(basename "$file").before.raw" || fail "the audio of $(basename "$file") changed"
  echo "title \"$old\" -> \"$new\", audio unchanged"
  close_corvale
}

check_retitled "$out/1 song.mp3" "Old Song" "New Song"
check_retitled "$out/2 piece.flac" "Old Piece" "New Piece"

echo "== Edit Tag of a read-only file"
start_showing "3 locked.mp3"
edit_tag_of_row 1
sleep 1
shot=$artefacts/edit_tag.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"
probe answer-box "Changed" 10000 || fail "no Edit Tag dialog for the read-only file"
probe answer-box - 10000 || fail "no message for the read-only file"
[ "$answer" = "Edit Tag" ] || fail "the message box is \"$answer\""
cmp -s "$out/3 locked.mp3" "$root/locked.before" || fail "the read-only file changed"
echo "message \"$answer\", file unchanged"
[ -z "$(find "$out" -name '*.tmp')" ] || fail "a copy was left behind: $(ls "$out")"

echo "== closing"
close_corvale
chmod u+w "$out/3 locked.mp3"
echo "PASS"
