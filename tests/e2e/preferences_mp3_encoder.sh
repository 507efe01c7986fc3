#!/usr/bin/env bash
# Sets the MP3 encoder through Options > Preferences as a user does: with no
# encoder set, RIP in MP3 must say so; then the dialog is opened from the menu
# with the keyboard, the encoder built by the bootstrap and its parameters are
# typed in, and OK is pressed.  RIP in MP3 must then use that encoder without
# a restart: the selected track lands as an MP3 file.  After the program
# closes, config.ini must hold both.  Needs DISPLAY and WINEPREFIX (run it
# inside tools/with-wine.sh).
# The encoder is LAME_EXE (the build passes the one the bootstrap built), or
# CORVALE_LAME when that is set.
#   preferences_mp3_encoder.sh BIN_DIR DEMO_CUE ARTEFACT_DIR LAME_EXE
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 BIN_DIR DEMO_CUE ARTEFACT_DIR LAME_EXE" >&2
  exit 2
fi

mp3_format=3
message_text=65535    # the static text of the system's message box
message_ok=1          # its only button when it has just OK
encoder_field=1145
parameters_field=1144
ok_button=1025
encoder=${CORVALE_LAME:-$4}
parameters='-b 128 "%IN%" "%OUT%"'

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
e2e_begin "$1" "$2" "$3"
# An MP3 file starts with a frame header (11 sync bits set), or with an ID3v2
# tag whose size (four bytes of seven bits) leads to one.
is_mp3() {
  local file=$1 offset=0 sync
  if [ "$(head -c 3 "$file")" = ID3 ]; then
    local b0 b1 b2 b3
    read -r b0 b1 b2 b3 < <(od -An -tu1 -j6 -N4 "$file")
    offset=$((10 + (b0 << 21 | b1 << 14 | b2 << 7 | b3)))
  fi
  read -r -a sync < <(od -An -tu1 -j$offset -N2 "$file")
  [ ${#sync[@]} -eq 2 ] && [ "${sync[0]}" -eq 255 ] && [ $((sync[1] & 0xE0)) -eq $((0xE0)) ]
}

[ -f "$encoder" ] || fail "no MP3 encoder $encoder (tools/bootstrap.sh builds it)"
encoder_path=$(windows_path "$encoder")

printf 'path=%s\\\r\noutputFormat=%d\r\n' "$(windows_path "$out")" $mp3_format >"$work/config.ini"
start_corvale "$work"

echo "== RIP in MP3 without an encoder"
select_first_track
probe rect $rip_button || fail "no RIP button"
click_rect "$answer"
probe wait-rect "MP3 Codec Error" $message_ok 15000 || fail "no \"MP3 Codec Error\" message after RIP"
ok_rect=$answer
probe text "MP3 Codec Error" $message_text || fail "could not read the message"
[ "$answer" = "No MP3 Encoder has been defined. Please update the preferences settings." ] ||
  fail "the message says \"$answer\""
click_rect "$ok_rect"
[ -z "$(ls -A "$out")" ] || fail "a rip without an encoder wrote files: $(ls "$out")"

echo "== Options > Preferences"
opened=""
for _ in 1 2 3; do
  timeout 10 xdotool key alt+o || fail "xdotool could not press Alt+O"
  sleep 0.3
  timeout 10 xdotool key p || fail "xdotool could not press P"
  # The window can be found a moment before its controls exist.
  for _ in $(seq 1 10); do
    if probe wait-rect "Preferences" $encoder_field 1000 2>/dev/null; then
      opened=$answer
      break 2
    fi
    sleep 0.1
  done
  timeout 10 xdotool key Escape
done
[ -n "$opened" ] || fail "Preferences did not open from the Options menu"
click_rect "$opened"
timeout 20 xdotool type --delay 20 -- "$encoder_path" || fail "xdotool could not type the encoder"
probe text "Preferences" $parameters_field || fail "could not read the parameters"
[ "$answer" = "" ] || fail "the parameters field shows \"$answer\" before a program was set"
probe wait-rect "Preferences" $parameters_field 5000 || fail "no parameters field"
click_rect "$answer"
timeout 20 xdotool type --delay 20 -- "$parameters" || fail "xdotool could not type the parameters"
probe text "Preferences" $encoder_field || fail "could not read the encoder field"
[ "$answer" = "$encoder_path" ] || fail "the encoder field shows \"$answer\""
probe text "Preferences" $parameters_field || fail "could not read the parameters"
[ "$answer" = "$parameters" ] || fail "the parameters field shows \"$answer\""
shot=$artefacts/preferences_mp3_encoder.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"
probe wait-rect "Preferences" $ok_button 5000 || fail "no OK button"
click_rect "$answer"
for _ in $(seq 1 100); do
  probe wait-rect "Preferences" $ok_button 1 2>/dev/null || break
  sleep 0.05
done
probe wait-rect "Preferences" $ok_button 1 2>/dev/null && fail "Preferences is still open after OK"

echo "== RIP in MP3 with the encoder just set"
press_rip_watching_progress 60000
wait $watch_pid
watch_status=$?
[ $watch_status -eq 0 ] || fail "progress window: $(tr -d '\r' <"$root/watch.out") (exit $watch_status)"
# Only the first track is selected; its encoder runs after the progress window has gone.
mp3=$out/"Unknown Artist - Track 01.mp3"
finished=""
for _ in $(seq 1 600); do
  if [ -s "$mp3" ] && [ -z "$(find "$work/temp" -maxdepth 1 -iname '*.wav')" ]; then
    finished=1
    break
  fi
  sleep 0.1
done
[ -n "$finished" ] || fail "after 60 s: $(ls -1 "$out" | tr '\n' ' ') in the output folder, $(ls -1 "$work/temp" | tr '\n' ' ') in temp"
[ "$(find "$out" -maxdepth 1 -type f ! -name '*.log' | wc -l)" = 1 ] || fail "the output folder holds $(ls -1 "$out" | tr '\n' ' ')"
is_mp3 "$mp3" || fail "$(basename "$mp3") is not MP3: it starts with $(od -An -tx1 -N16 "$mp3")"
echo "$(basename "$mp3"): $(stat -c %s "$mp3") bytes of MP3"
sleep 0.5   # one more tick of the watch refreshes the file list
shot=$artefacts/preferences_mp3_encoder_rip.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

echo "== closing"
close_corvale
config=$(tr -d '\r' <"$work/config.ini")
grep -qxF "mp3encoder=$encoder_path" <<<"$config" || fail "config.ini lacks mp3encoder=$encoder_path: $config"
grep -qxF "mp3params=$parameters" <<<"$config" || fail "config.ini lacks mp3params=$parameters: $config"
echo "config.ini: $(grep -E '^mp3(encoder|params)=' <<<"$config" | tr '\n' ' ')"
echo "PASS"
