#!/usr/bin/env bash
# Rips a disc of 8 tracks (an unpaced image) to Ogg Vorbis with corvale.exe and
# encoderthreads=2, so two tracks encode beside the reading:
#   - the whole disc: the dialog says it is finishing the encoding after the
#     last read; every file has the name it always had and decodes to its
#     track's exact length; no intermediate WAV is left;
#   - Cancel while two encoders run: within a second neither a partial file
#     nor a WAV is left, and the main window still answers;
#   - a folder in the way of track 3's name, so that its encode cannot end
#     in a file: the other tracks are made, the job ends with that track's
#     message, and nothing of track 3 is left;
#   - MP3 through the test encoder, which fails on track 3: the same.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   rip_encoder_threads.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
sector_bytes=2352
status_text=1132
cancel_button=2
tracks=8

# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
e2e_begin "$@"

echo "== a disc of $tracks tracks"
python3 "$here/../../tools/make_demo_disc.py" "$root/disc" --name eight --minutes 4 --tracks $tracks ||
  fail "could not write the disc image"
image=$root/disc/eight.bin
AKRIP_IMAGES=$(windows_path "$root/disc/eight.cue")
unset AKRIP_SPEED
probe toc || fail "could not read the disc's table of contents"
printf '%s\n' "$answer" >"$root/toc"
[ "$(wc -l <"$root/toc")" = $tracks ] || fail "the disc lists $(wc -l <"$root/toc") tracks, wanted $tracks"
# A Cancel must come while the job still runs, however long the press takes to
# arrive: that part rips a disc of 2-minute tracks.
python3 "$here/../../tools/make_demo_disc.py" "$root/long" --name long --minutes 16 --tracks $tracks ||
  fail "could not write the long disc image"
short_disc=$AKRIP_IMAGES
long_disc=$(windows_path "$root/long/long.cue")
AKRIP_IMAGES=$long_disc
probe toc || fail "could not read the long disc's table of contents"
printf '%s\n' "$answer" >"$root/toc-long"
AKRIP_IMAGES=$short_disc
cp "$root/toc" "$root/toc-short"

track_name() { printf 'Unknown Artist - Track %02d.ogg' "$1"; }
length_of() { awk -v n="$1" '$1 == n { print $3 }' "$root/toc"; }

# Every file of the given tracks decodes to exactly its track's length.
expect_complete() {
  local number file decoded
  for number in "$@"; do
    file=$out/$(track_name "$number")
    [ -f "$file" ] || fail "no $(basename "$file"): $(ls "$out")"
    oggdec -Q --raw -o "$root/decoded.pcm" "$file" || fail "$(basename "$file"): oggdec cannot decode it"
    decoded=$(stat -c %s "$root/decoded.pcm")
    [ "$decoded" = $(($(length_of "$number") * sector_bytes)) ] ||
      fail "$(basename "$file") decodes to $decoded bytes, the track has $(($(length_of "$number") * sector_bytes))"
  done
}
side_files() { find "$out" -maxdepth 1 -name '~*'; }
expect_no_wav() {
  local left
  left=$(find "$work" "$out" -iname '*.wav')
  [ -z "$left" ] || fail "intermediate WAV files were left: $left"
}

# rip [FORMAT [CONFIG_LINE...]]: starts the program and presses RIP with no
# track selected (every track is ripped), to Ogg Vorbis unless told.
rip() {
  local format=${1:-1}
  shift $(($# > 0 ? 1 : 0))
  {
    printf 'path=%s\\\r\noutputFormat=%s\r\nencoderthreads=2\r\n' "$(windows_path "$out")" "$format"
    [ $# -eq 0 ] || printf '%s\r\n' "$@"
  } >"$work/config.ini"
  start_corvale "$work"
  probe item-count $track_list || fail "no track list"
  [ "$answer" = $tracks ] || fail "the track list shows $answer tracks"
  press_rip_watching_progress 180000
}

echo "== the whole disc"
rm -rf "${out:?}"/*
rip
finishing=""
for _ in $(seq 1 600); do
  probe text "Ripping..." $status_text 2>/dev/null || break
  [[ "$answer" == "Finishing the encoding, tracks left: "* ]] && finishing=$answer && break
  sleep 0.02
done
[ -n "$finishing" ] || fail "the dialog never said it was finishing the encoding (last: \"$answer\")"
echo "progress dialog: $finishing"
timeout 30 import -window root "$artefacts/rip_encoder_threads.png" || fail "no screenshot"
wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
expected=$(for n in $(seq 1 $tracks); do track_name "$n"; echo; done)
listed=$(ls -1 "$out" | grep -v '\.log$')
[ "$listed" = "$expected" ] || fail "the output folder holds \"$listed\", wanted \"$expected\""
expect_complete $(seq 1 $tracks)
expect_no_wav
echo "every track decodes to its exact length, no WAV left"
probe read-box 2000 && fail "a rip with nothing wrong showed \"$answer\""
close_corvale

echo "== Cancel while two encoders run"
rm -rf "${out:?}"/*
AKRIP_IMAGES=$long_disc
cp "$root/toc-long" "$root/toc"
rip
probe wait-rect "Ripping..." $cancel_button 20000 || fail "no Cancel button"
both=""
for _ in $(seq 1 2000); do
  if [ -f "$out/~$(track_name 1)" ] && [ -f "$out/~$(track_name 2)" ]; then
    both=yes
    break
  fi
  sleep 0.005
done
[ -n "$both" ] || fail "tracks 1 and 2 never encoded at once: $(ls "$out")"
# Posted, not clicked: the time below is the program's, not the click's way
# through X, which has taken over a second on a busy machine.
probe press "Ripping..." $cancel_button || fail "could not press Cancel"
cancelled_at=$(date +%s%N)
cleared_ms=""
while [ $((($(date +%s%N) - cancelled_at) / 1000000)) -lt 10000 ]; do
  if [ -z "$(ls -A "$work/temp")" ] && [ -z "$(side_files)" ]; then
    cleared_ms=$((($(date +%s%N) - cancelled_at) / 1000000))
    break
  fi
  sleep 0.01
done
[ -n "$cleared_ms" ] || fail "10 s after Cancel: temp holds \"$(ls "$work/temp")\", the output \"$(ls "$out")\""
echo "partial files and WAVs gone ${cleared_ms} ms after Cancel"
# A bound that catches encoders running on; the speed itself is a benchmark's.
[ "$cleared_ms" -le 3000 ] || fail "the encoders took ${cleared_ms} ms to stop"
wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
# A track completed before the Cancel stays, whole; nothing else does.
made=()
for n in $(seq 1 $tracks); do [ -f "$out/$(track_name "$n")" ] && made+=("$n"); done
left=$(ls -1 "$out" | grep -v -F -x -f <(for n in "${made[@]}"; do track_name "$n"; echo; done))
[ -z "$left" ] || fail "the output folder holds \"$left\" after Cancel"
[ ${#made[@]} -gt 0 ] && expect_complete "${made[@]}"
expect_no_wav
probe item-count $track_list || fail "the main window does not answer after Cancel"
[ "$answer" = $tracks ] || fail "the track list shows $answer tracks after Cancel"
# The tracks the stopped job never read did not fail.
probe read-box 3000 && fail "a stopped rip showed \"$answer\""
echo "after Cancel: ${#made[@]} complete tracks, no partial file, the window answers"
close_corvale
AKRIP_IMAGES=$short_disc
cp "$root/toc-short" "$root/toc"

echo "== track 3's name taken by a folder"
rm -rf "${out:?}"/*
mkdir "$out/$(track_name 3)"
rip
wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
probe read-box 20000 || fail "no message after the rip"
# The box's title, its owner, then its text.
[ "$answer" = "Corvale|main|Could not open output file." ] || fail "the rip ended with \"$answer\""
echo "told: $answer"
timeout 30 import -window root "$artefacts/rip_encoder_threads_failure.png" || fail "no screenshot"
probe read-box 5000 && echo "then: $answer"
expect_complete 1 2 4 5 6 7 8
if ! { [ -d "$out/$(track_name 3)" ] && [ -z "$(ls -A "$out/$(track_name 3)")" ]; }; then
  fail "track 3's folder was touched"
fi
[ -z "$(side_files)" ] || fail "side files were left: $(side_files)"
expect_no_wav
close_corvale

echo "== MP3 with track 3's encoder failing"
rm -rf "${out:?}"/*
rip 3 "mp3encoder=$(windows_path "$test_bin/test_encoder.exe")" 'mp3params=--fail-for "Track 03" "%IN%" "%OUT%"'
wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
probe read-box 20000 || fail "no message after the MP3 rip"
[ "$answer" = "Corvale|main|An internal encoder error has occurred." ] || fail "the MP3 rip ended with \"$answer\""
echo "told: $answer"
probe read-box 5000 && echo "then: $answer"
for n in 1 2 4 5 6 7 8; do
  mp3=$out/$(printf 'Unknown Artist - Track %02d.mp3' "$n")
  [ -s "$mp3" ] || fail "no $(basename "$mp3"): $(ls "$out")"
done
[ ! -e "$out/Unknown Artist - Track 03.mp3" ] || fail "the failed track left a file"
[ -z "$(side_files)" ] || fail "side files were left: $(side_files)"
expect_no_wav
close_corvale
echo "PASS"
