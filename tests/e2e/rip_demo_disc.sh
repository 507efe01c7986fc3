#!/usr/bin/env bash
# Rips the first two tracks of the demo disc with corvale.exe as a user would:
# a click on the first track, Shift+Down, (for Ogg Vorbis: the format picked
# in its combo box,) a click on RIP; then checks the files: WAV files against
# the disc image byte for byte, Ogg Vorbis files with ogginfo and by their
# decoded length, FLAC files with "flac -t" and by their decoded samples
# against the image, Opus files with opusinfo and by their decoded length at
# 48 kHz; that no intermediate WAV is left; and that the program
# closes cleanly and writes its settings.  With "all", selects nothing, so RIP rips
# every audio track, and checks that together they hold every audio sector of
# the image (on an Enhanced CD the last one ends where its session ends).
# With "real SHIM", the disc is not a virtual drive but drive R: of the Wine
# prefix, a CD drive whose device is the BIN file: Wine passes the library's
# SCSI pass-through requests to it as SG_IO, which the preloaded SHIM answers
# from the image (tests/e2e/sg_drive_shim.c).
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   rip_demo_disc.sh BIN_DIR DEMO_CUE ARTEFACT_DIR [ogg | flac | opus | all | real SHIM]
set -uo pipefail

if ! { [ $# -eq 3 ] || { [ $# -eq 4 ] && [[ "$4" =~ ^(all|ogg|flac|opus)$ ]]; } ||
        { [ $# -eq 5 ] && [ "$4" = real ]; }; }; then
  echo "usage: $0 BIN_DIR DEMO_CUE ARTEFACT_DIR [ogg | flac | opus | all | real SHIM]" >&2
  exit 2
fi
rip_all=""
real_drive=""
format=wav
format_row=0
format_combo=1014
[ "${4:-}" = all ] && rip_all=all
[ "${4:-}" = real ] && real_drive=$5
case "${4:-}" in
  ogg) format=ogg format_row=1 ;;
  flac) format=flac format_row=4 ;;
  opus) format=opus format_row=5 ;;
esac

sector_bytes=2352
wav_header_bytes=44

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

drive_link=$WINEPREFIX/dosdevices/r:
remove_real_drive() {
  [ -n "$real_drive" ] || return 0
  rm -f "$drive_link" "$drive_link:"
  wine reg delete 'HKLM\Software\Wine\Drives' /v r: /f >/dev/null 2>&1
  # The mount manager forgets the drive when the server restarts.
  wineserver -k 2>/dev/null
  wineserver -p 2>/dev/null
}

e2e_script_cleanup() { remove_real_drive; }
# The CDDB lookup fails at the dead proxy, so the titles stay "Unknown".
e2e_begin "$1" "$2" "$3"

echo "== the disc's table of contents through the CD layer"
probe toc || fail "could not read the demo disc's table of contents"
toc=$answer
echo "$toc"
[ "$(wc -l <<<"$toc")" -ge 2 ] || fail "the table of contents lists fewer than two tracks"

if [ -n "$real_drive" ]; then
  echo "== drive R: is a CD drive whose device is $image"
  [ -f "$real_drive" ] || fail "no SG_IO shim $real_drive"
  mkdir -p "$root/r-mount"
  ln -sfn "$root/r-mount" "$drive_link"
  ln -sfn "$image" "$drive_link:"
  wine reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f >/dev/null 2>&1 || fail "could not make R: a CD drive"
  wineserver -k 2>/dev/null
  wineserver -p 2>/dev/null
  unset AKRIP_IMAGES
  export CORVALE_SG_CUE=$cue
  corvale_preload=$real_drive
fi

echo "== starting corvale.exe in $work"
printf 'path=%s\\\r\n' "$(windows_path "$out")" >"$work/config.ini"
start_corvale "$work"
[ "$answer" = "Corvale - Unknown Title (Unknown Artist)" ] || fail "unexpected window title \"$answer\""
probe item-count $track_list || fail "no track list"
[ "$answer" = 4 ] || fail "the track list shows $answer tracks, the disc has 4 audio tracks"

if [ -n "$rip_all" ]; then
  probe selection $track_list || fail "could not read the track list's selection"
  [ "$answer" = 0 ] || fail "selection is \"$answer\", wanted none (RIP then takes every track)"
else
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
fi

if [ "$format" != wav ]; then
  echo "== choosing .$format in the format box"
  probe rect $format_combo || fail "no format combo box"
  click_rect "$answer"
  sleep 0.3
  for _ in $(seq 1 $format_row); do
    timeout 10 xdotool key Down || fail "xdotool could not press Down"
  done
  timeout 10 xdotool key Return || fail "xdotool could not press Return"
  chosen=""
  for _ in $(seq 1 50); do
    probe combo-selection $format_combo || fail "could not read the format combo box"
    chosen=$answer
    [ "$chosen" = "$format_row" ] && break
    sleep 0.1
  done
  [ "$chosen" = "$format_row" ] || fail "the format combo box shows row $chosen, wanted $format_row"
fi

echo "== ripping"
press_rip_watching_progress 60000
wait $watch_pid
watch_status=$?
[ $watch_status -eq 0 ] || fail "progress window: $(tr -d '\r' <"$root/watch.out") (exit $watch_status)"
echo "progress window $(tr -d '\r' <"$root/watch.out")"

shot=$artefacts/$(basename "$cue" .cue)-$format${rip_all:+-all}${real_drive:+-real-drive}.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

echo "== checking the files in $out"
ripped=2
[ -n "$rip_all" ] && ripped=$(wc -l <<<"$toc")
expected=$(for n in $(seq 1 "$ripped"); do printf 'Unknown Artist - Track %02d.%s\n' "$n" "$format"; done)
# Beside the tracks: the job's log (riplog is on unless config.ini turns it off).
listed=$(ls -1 "$out" | grep -v '\.log$')
[ "$listed" = "$expected" ] || fail "the output folder holds \"$listed\", wanted exactly \"$expected\""
ls "$out"/*.log >/dev/null 2>&1 || fail "no rip log in the output folder: $(ls "$out")"

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
check_ogg() {
  local file=$1 length=$2
  local name
  name=$(basename "$file")
  ogginfo "$file" >"$root/ogginfo.out" 2>&1 || { cat "$root/ogginfo.out" >&2; fail "$name: ogginfo found errors"; }
  if grep -qi 'warning' "$root/ogginfo.out"; then
    cat "$root/ogginfo.out" >&2
    fail "$name: ogginfo warns"
  fi
  mkdir -p "$root/decoded"
  oggdec -Q --raw -o "$root/decoded/$name.pcm" "$file" || fail "$name: oggdec cannot decode it"
  local decoded
  decoded=$(stat -c %s "$root/decoded/$name.pcm")
  [ "$decoded" = $((length * sector_bytes)) ] ||
    fail "$name decodes to $decoded bytes, the track has $((length * sector_bytes))"
  echo "$name: ogginfo clean, decodes to exactly $length sectors"
}
check_flac() {
  local file=$1 start=$2 length=$3
  local name
  name=$(basename "$file")
  flac -t -s "$file" || fail "$name: flac -t found errors"
  cmp <(flac -d -s -c --force-raw-format --endian=little --sign=signed "$file") \
      <(dd if="$image" iflag=skip_bytes,count_bytes skip=$((start * sector_bytes)) count=$((length * sector_bytes)) \
          status=none) || fail "$name: the decoded samples differ from the disc image's sectors"
  echo "$name: flac -t clean, decodes to the image's $length sectors exactly"
}
check_opus() {
  local file=$1 length=$2
  local name
  name=$(basename "$file")
  opusinfo "$file" >"$root/opusinfo.out" 2>&1 || { cat "$root/opusinfo.out" >&2; fail "$name: opusinfo found errors"; }
  if grep -qi 'warning' "$root/opusinfo.out"; then
    cat "$root/opusinfo.out" >&2
    fail "$name: opusinfo warns"
  fi
  mkdir -p "$root/decoded"
  opusdec --quiet --rate 48000 --force-wav "$file" "$root/decoded/$name.wav" || fail "$name: opusdec cannot decode it"
  local frames wanted
  frames=$((($(stat -c %s "$root/decoded/$name.wav") - wav_header_bytes) / 4))
  wanted=$(((length * 588 * 48000 + 44099) / 44100))
  [ "$frames" = "$wanted" ] || fail "$name decodes to $frames samples at 48 kHz, the track has $wanted"
  echo "$name: opusinfo clean, decodes to exactly $wanted samples at 48 kHz"
}
audio_sectors=0
while read -r number start length; do
  [ "$number" -le "$ripped" ] || break
  file=$out/$(printf 'Unknown Artist - Track %02d.%s' "$number" "$format")
  case "$format" in
    wav) check_wav "$file" "$start" "$length" ;;
    ogg) check_ogg "$file" "$length" ;;
    flac) check_flac "$file" "$start" "$length" ;;
    opus) check_opus "$file" "$length" ;;
  esac
  audio_sectors=$((audio_sectors + length))
done <<<"$toc"
left_over=$(find "$work" "$out" -iname '*.wav' ! -iname 'Unknown Artist - Track *.wav')
[ -z "$left_over" ] || fail "intermediate WAV files were left: $left_over"
if [ -n "$rip_all" ]; then
  # The sheet's last INDEX 01 starts the data track: everything before it is audio.
  data_time=$(tr -d '\r' <"$cue" | awk '$1 == "INDEX" && $2 == "01" { t = $3 } END { print t }')
  IFS=: read -r mm ss ff <<<"$data_time"
  data_start=$(((10#$mm * 60 + 10#$ss) * 75 + 10#$ff))
  [ "$audio_sectors" = "$data_start" ] ||
    fail "the tracks hold $audio_sectors sectors, the image's audio has $data_start"
fi

echo "== closing"
close_corvale
[ "$(head -c 8 "$work/config.ini")" = "version=" ] ||
  fail "config.ini was not rewritten; it starts with \"$(head -c 40 "$work/config.ini")\""
echo "PASS"
