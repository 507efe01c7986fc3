#!/usr/bin/env bash
# Rips the first track of the demo disc to .wma with corvale.exe, first with
# the stand-in encoder component registered (the file must hold the track's
# samples, and the progress dialog must show the encoder's state), then with
# none registered (the "WMA Encoder Error" dialog must come, and after Cancel
# the progress dialog must go within a few seconds).  Needs DISPLAY and
# WINEPREFIX (run it inside tools/with-wine.sh).
#   rip_demo_disc_wma.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

sector_bytes=2352
tag_bytes=8          # the stand-in's tag before the WAV it copies
wav_header_bytes=44
status_text=1132
error_title="WMA Encoder Error"
wma_format=2

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
unregister_stand_in() {
  [ -n "${stand_in:-}" ] || return 0
  timeout 60 wine regsvr32 /u /s "$(windows_path "$stand_in")" >/dev/null 2>&1 </dev/null
}
e2e_script_cleanup() { unregister_stand_in; }
e2e_begin "$@"
stand_in=$bin/wma_stand_in.dll

[ -f "$stand_in" ] || fail "no stand-in component $stand_in"
export CORVALE_STAND_IN_ENCODE_MS
# Slow enough for the progress dialog to show the encoder running.
CORVALE_STAND_IN_ENCODE_MS=3000

probe toc || fail "could not read the demo disc's table of contents"
read -r _ start1 length1 < <(sed -n 1p <<<"$answer")
[ -n "${length1:-}" ] || fail "the table of contents lists no track"

printf 'path=%s\\\r\noutputFormat=%d\r\n' "$(windows_path "$out")" $wma_format >"$work/config.ini"

echo "== with the stand-in component registered"
timeout 60 wine regsvr32 /s "$(windows_path "$stand_in")" >/dev/null 2>&1 </dev/null ||
  fail "regsvr32 could not register $stand_in"
start_corvale "$work"
select_first_track
press_rip_watching_progress 60000
running=""
for _ in $(seq 1 100); do
  probe text "Ripping..." $status_text && [[ "$answer" == *"WMA Encoder Running..." ]] && running=$answer && break
  sleep 0.05
done
[ -n "$running" ] || fail "the progress dialog never showed the encoder running (last: \"$answer\")"
echo "progress dialog: $running"
timeout 30 import -window root "$artefacts/rip_demo_disc_wma.png" || fail "no screenshot"
wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"

file="$out/Unknown Artist - Track 01.wma"
[ -f "$file" ] || fail "no $(basename "$file") in the output folder: $(ls "$out")"
data=$((length1 * sector_bytes))
[ "$(stat -c %s "$file")" = $((tag_bytes + wav_header_bytes + data)) ] || fail "$file has $(stat -c %s "$file") bytes"
[ "$(head -c $tag_bytes "$file")" = "STAND-IN" ] || fail "$file was not written by the stand-in"
cmp <(tail -c +$((tag_bytes + wav_header_bytes + 1)) "$file") \
    <(dd if="$image" iflag=skip_bytes,count_bytes skip=$((start1 * sector_bytes)) count=$data status=none) ||
  fail "the encoded samples differ from the disc image's track 1"
[ -z "$(ls -A "$work/temp")" ] || fail "intermediate files left in temp: $(ls "$work/temp")"
echo "$(basename "$file"): the stand-in got the track's $length1 sectors"
# The rip log describes the track; a job that made no file must leave none.
rm -f "$file" "$out/Unknown Artist - Unknown Title.log"

echo "== without a component"
unregister_stand_in || fail "regsvr32 could not unregister $stand_in"
press_rip_watching_progress 60000
probe wait-rect "$error_title" 2 20000 || fail "no \"$error_title\" dialog"
cancel_rect=$answer
timeout 30 import -window root "$artefacts/rip_demo_disc_wma_missing.png" || fail "no screenshot"
click_rect "$cancel_rect"
closed_at=$(date +%s%N)
wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
waited_ms=$((($(date +%s%N) - closed_at) / 1000000))
# Without a window manager Wine takes about 2 s to withdraw each window that
# closes: the error dialog's and the progress dialog's.
echo "the progress dialog went ${waited_ms} ms after Cancel"
[ $waited_ms -lt 8000 ] || fail "the progress dialog stayed ${waited_ms} ms after the error dialog"
[ -z "$(ls -A "$out")" ] || fail "files left in the output folder: $(ls "$out")"
[ -z "$(ls -A "$work/temp")" ] || fail "intermediate files left in temp: $(ls "$work/temp")"

close_corvale
echo "PASS"
