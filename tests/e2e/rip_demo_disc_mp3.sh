#!/usr/bin/env bash
# Rips the whole demo disc to MP3 with corvale.exe as a user would (format
# ".mp3", the encoder program LAME, a click on RIP with no track selected),
# then decodes every MP3 natively with Debian's lame and checks its length
# against the track's, and that no intermediate WAV is left once the last
# encoder has ended.  Needs DISPLAY and WINEPREFIX (run it inside
# tools/with-wine.sh).
#   rip_demo_disc_mp3.sh BIN_DIR DEMO_CUE ARTEFACT_DIR LAME_EXE
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 BIN_DIR DEMO_CUE ARTEFACT_DIR LAME_EXE" >&2
  exit 2
fi
lame_exe=$4
samples_per_sector=588
# The LAME tag lets the decoder trim the encoder's delay and padding; allow
# one frame in case a decoder does not.
tolerance_samples=1152

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
e2e_begin "$1" "$2" "$3"
[ -f "$lame_exe" ] || fail "no encoder $lame_exe (tools/bootstrap.sh builds it)"
command -v lame >/dev/null || fail "no native lame to decode with (Debian package lame)"

echo "== the disc's table of contents through the CD layer"
probe toc || fail "could not read the demo disc's table of contents"
toc=$answer
echo "$toc"

echo "== starting corvale.exe in $work"
printf 'path=%s\\\r\n' "$(windows_path "$out")" >"$work/config.ini"
printf '%s\r\n' "outputFormat=3" "mp3encoder=$(windows_path "$lame_exe")" 'mp3params="%IN%" "%OUT%"' >>"$work/config.ini"
start_corvale "$work"
[ "$answer" = "Corvale - Unknown Title (Unknown Artist)" ] || fail "unexpected window title \"$answer\""

echo "== ripping"
press_rip_watching_progress 60000
wait $watch_pid
watch_status=$?
[ $watch_status -eq 0 ] || fail "progress window: $(tr -d '\r' <"$root/watch.out") (exit $watch_status)"

echo "== waiting for the last encoder"
temp=$work/temp
count=$(grep -c . <<<"$toc")
done_waiting=""
for _ in $(seq 1 600); do
  mp3s=$(find "$out" -maxdepth 1 -name '*.mp3' | wc -l)
  wavs=$(find "$temp" -maxdepth 1 -iname '*.wav' | wc -l)
  if [ "$mp3s" = "$count" ] && [ "$wavs" = 0 ]; then
    done_waiting=1
    break
  fi
  sleep 0.1
done
[ -n "$done_waiting" ] || fail "after 60 s: $(ls -1 "$out" | tr '\n' ' ') in the output folder, $(ls -1 "$temp" | tr '\n' ' ') in temp"
sleep 0.5   # one more tick of the watch refreshes the file list
shot=$artefacts/rip_demo_disc_mp3.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

echo "== decoding the files in $out"
while read -r number _ length; do
  name=$(printf 'Unknown Artist - Track %02d.mp3' "$number")
  file=$out/$name
  [ -s "$file" ] || fail "no $name"
  lame --quiet --decode -t "$file" "$root/decoded.raw" || fail "$name does not decode"
  samples=$(($(stat -c %s "$root/decoded.raw") / 4))
  expected=$((length * samples_per_sector))
  difference=$((samples - expected))
  [ ${difference#-} -le $tolerance_samples ] ||
    fail "$name decodes to $samples samples, the track has $expected"
  echo "$name: $samples samples, track $expected"
done <<<"$toc"
[ -z "$(ls -A "$temp")" ] || fail "temp still holds $(ls -1 "$temp" | tr '\n' ' ')"

echo "== closing"
close_corvale
[ "$(head -c 8 "$work/config.ini")" = "version=" ] ||
  fail "config.ini was not rewritten; it starts with \"$(head -c 40 "$work/config.ini")\""
echo "PASS"
