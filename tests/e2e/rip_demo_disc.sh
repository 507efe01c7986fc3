#!/usr/bin/env bash
# Rips the first two tracks of the demo disc with corvale.exe as a user would:
# a click on the first track, Shift+Down, a click on RIP; then checks the WAV
# files against the disc image byte for byte, and that the program closes
# cleanly and writes its settings.  Needs DISPLAY and WINEPREFIX (run it
# inside tools/with-wine.sh).
#   rip_demo_disc.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 BIN_DIR DEMO_CUE ARTEFACT_DIR" >&2
  exit 2
fi
bin=$1
cue=$2
artefacts=$3
image=${cue%.cue}.bin
probe_exe=$bin/e2e_probe.exe
track_list=1044
rip_button=1039
sector_bytes=2352
wav_header_bytes=44

root=$(mktemp -d)
work=$root/work
out=$root/out
mkdir -p "$work" "$out" "$artefacts"
corvale_pid=""
# shellcheck source=e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"

cleanup() {
  stop_corvale
  rm -rf "$root"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$root/corvale.log" ]; then
    echo "--- corvale.exe output:" >&2
    cat "$root/corvale.log" >&2
  fi
  exit 1
}

[ -f "$image" ] || fail "no disc image $image"
[ -f "$probe_exe" ] || fail "no probe $probe_exe"
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY (run inside tools/with-wine.sh)"
export AKRIP_IMAGES
AKRIP_IMAGES=$(windows_path "$cue")

echo "== the disc's table of contents through the CD layer"
probe toc || fail "could not read the demo disc's table of contents"
toc=$answer
echo "$toc"
read -r _ start1 length1 < <(sed -n 1p <<<"$toc")
read -r _ start2 length2 < <(sed -n 2p <<<"$toc")
[ -n "${length2:-}" ] || fail "the table of contents lists fewer than two tracks"

echo "== starting corvale.exe in $work"
printf 'path=%s\\\r\n' "$(windows_path "$out")" >"$work/config.ini"
(cd "$work" && exec wine "$bin/corvale.exe") >"$root/corvale.log" 2>&1 </dev/null &
corvale_pid=$!

probe wait-main 30000 || fail "the main window did not show within 30 s"
[ "$answer" = "Corvale - Unknown Title (Unknown Artist)" ] || fail "unexpected window title \"$answer\""
probe item-count $track_list || fail "no track list"
[ "$answer" = 4 ] || fail "the track list shows $answer tracks, the disc has 4 audio tracks"

echo "== selecting tracks 1 and 2"
probe header-rect $track_list || fail "no header on the track list"
read -r left _ _ bottom <<<"$answer"
click $((left + 40)) $((bottom + 6))
timeout 10 xdotool key shift+Down || fail "xdotool could not press Shift+Down"
selection=""
for _ in $(seq 1 50); do
  probe selection $track_list || fail "could not read the track list's selection"
  selection=$answer
  [ "$selection" = "2 0 1" ] && break
  sleep 0.1
done
[ "$selection" = "2 0 1" ] || fail "selection is \"$selection\" (count, rows), wanted rows 0 and 1 only"

echo "== ripping"
rm -f "$root/watch.ready"
timeout 120 wine "$probe_exe" watch "Ripping..." "$(windows_path "$root/watch.ready")" 60000 \
  >"$root/watch.out" 2>&1 </dev/null &
watch_pid=$!
for _ in $(seq 1 200); do
  [ -f "$root/watch.ready" ] && break
  kill -0 $watch_pid 2>/dev/null || break
  sleep 0.05
done
[ -f "$root/watch.ready" ] || fail "the progress watcher did not start"
probe rect $rip_button || fail "no RIP button"
read -r left top right bottom <<<"$answer"
click $(((left + right) / 2)) $(((top + bottom) / 2))
wait $watch_pid
watch_status=$?
[ $watch_status -eq 0 ] || fail "progress window: $(tr -d '\r' <"$root/watch.out") (exit $watch_status)"
echo "progress window $(tr -d '\r' <"$root/watch.out")"

shot=$artefacts/rip_demo_disc.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

echo "== checking the files in $out"
expected=$(printf '%s\n' "Unknown Artist - Track 01.wav" "Unknown Artist - Track 02.wav")
listed=$(ls -1 "$out")
[ "$listed" = "$expected" ] || fail "the output folder holds \"$listed\", wanted exactly \"$expected\""

u32() { od -A n -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }
u16() { od -A n -t u2 -j "$2" -N 2 "$1" | tr -d ' '; }
text4() { dd if="$1" bs=1 skip="$2" count=4 status=none; }

check_wav() {
  local file=$1 start=$2 length=$3
  local data=$((length * sector_bytes))
  local name
  name=$(basename "$file")
  [ "$(stat -c %s "$file")" = $((wav_header_bytes + data)) ] ||
    fail "$name has $(stat -c %s "$file") bytes, wanted $((wav_header_bytes + data))"
  [ "$(text4 "$file" 0)" = RIFF ] || fail "$name: no RIFF tag"
  [ "$(u32 "$file" 4)" = $((data + 36)) ] || fail "$name: RIFF size $(u32 "$file" 4), wanted $((data + 36))"
  [ "$(text4 "$file" 8)" = WAVE ] || fail "$name: no WAVE tag"
  [ "$(text4 "$file" 12)" = "fmt " ] || fail "$name: no fmt chunk at 12"
  [ "$(u32 "$file" 16)" = 16 ] || fail "$name: fmt chunk size $(u32 "$file" 16)"
  [ "$(u16 "$file" 20)" = 1 ] || fail "$name: format tag $(u16 "$file" 20), wanted 1 (PCM)"
  [ "$(u16 "$file" 22)" = 2 ] || fail "$name: $(u16 "$file" 22) channels"
  [ "$(u32 "$file" 24)" = 44100 ] || fail "$name: sample rate $(u32 "$file" 24)"
  [ "$(u32 "$file" 28)" = 176400 ] || fail "$name: byte rate $(u32 "$file" 28)"
  [ "$(u16 "$file" 32)" = 4 ] || fail "$name: block align $(u16 "$file" 32)"
  [ "$(u16 "$file" 34)" = 16 ] || fail "$name: $(u16 "$file" 34) bits per sample"
  [ "$(text4 "$file" 36)" = data ] || fail "$name: no data chunk at 36"
  [ "$(u32 "$file" 40)" = $data ] || fail "$name: data size $(u32 "$file" 40), wanted $data"
  cmp <(tail -c +$((wav_header_bytes + 1)) "$file") \
      <(dd if="$image" iflag=skip_bytes,count_bytes skip=$((start * sector_bytes)) count=$data status=none) ||
    fail "$name: the samples differ from the disc image's sectors $start..$((start + length - 1))"
  echo "$name: header and $length sectors match"
}
check_wav "$out/Unknown Artist - Track 01.wav" "$start1" "$length1"
check_wav "$out/Unknown Artist - Track 02.wav" "$start2" "$length2"

echo "== closing"
probe close || fail "could not post WM_CLOSE to the main window"
for _ in $(seq 1 200); do
  kill -0 "$corvale_pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$corvale_pid" 2>/dev/null && fail "corvale.exe still runs 10 s after WM_CLOSE"
wait "$corvale_pid"
exit_code=$?
corvale_pid=""
[ $exit_code -eq 0 ] || fail "corvale.exe exited with code $exit_code"
[ "$(head -c 8 "$work/config.ini")" = "version=" ] ||
  fail "config.ini was not rewritten; it starts with \"$(head -c 40 "$work/config.ini")\""
echo "PASS"
