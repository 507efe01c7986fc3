#!/usr/bin/env bash
# Verified rips of the demo disc through corvale.exe, against an AccurateRip
# database on 127.0.0.1 (set as the HTTP proxy in the shared key) that holds
# the checksums a slow reference computes from the image here:
#   - a drive with read offset +667 and readoffset=667: every track is the
#     disc's exactly (the last 667 samples, beyond the drive's reach, as
#     silence) and accurate, and the log's CRCs and checksums are the
#     reference's;
#   - a database entry wrong for one track: that track is re-read, still not
#     accurate, and the user is told;
#   - a corrupt first read (also behind a drive cache): the re-read repairs
#     the file and the log says so;
#   - noise: the positions are suspicious and the track is never accurate;
#   - corruption on every read: never accurate.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   accuraterip.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
server_pid=""
sector_bytes=2352
wav_header_bytes=44
log_name="Unknown Artist - Unknown Title.log"

# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
e2e_script_cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; }
e2e_begin "$@"

probe toc || fail "could not read the demo disc's table of contents"
printf '%s\n' "$answer" >"$root/toc"
mapfile -t starts < <(awk '{ print $2 }' "$root/toc")
mapfile -t lengths < <(awk '{ print $3 }' "$root/toc")
tracks=${#starts[@]}
[ "$tracks" = 4 ] || fail "the demo disc has $tracks audio tracks, wanted 4"

echo "== the slow reference"
mkdir -p "$root/plain" "$root/offset"
python3 "$here/accuraterip_server.py" reference "$image" "$root/toc" 0 "$root/plain" >"$root/plain.sums" ||
  fail "the reference failed"
python3 "$here/accuraterip_server.py" reference "$image" "$root/toc" 667 "$root/offset" >"$root/offset.sums" ||
  fail "the reference failed"
cat "$root/offset.sums"
# The database holds v1 for odd tracks and v2 for even ones: either matches.
database_entries() {
  local wrong=${1:-0}
  awk -v wrong="$wrong" '{ sum = ($1 % 2) ? $3 : $4; if ($1 + 0 == wrong) sum = "0BADBEEF"; print $1 + 0, sum }' \
    "$root/plain.sums" >"$root/entries"
}
database_entries

echo "== AccurateRip database on 127.0.0.1"
python3 "$here/accuraterip_server.py" serve "$root/port" "$root/requests.log" "$root/entries" 600 &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$root/port" ] && break; sleep 0.05; done
[ -s "$root/port" ] || fail "the database server did not start"
shared_proxy_set "$root" 127.0.0.1 "$(cat "$root/port")" || fail "could not set the proxy"

# The lines of track N's block in the log, without CR.
log_block() {
  tr -d '\r' <"$out/$log_name" | awk -v head="$(printf 'Track %02d ' "$1")" \
    'index($0, head) == 1 { on = 1 } on && $0 == "" { exit } on { print }'
}
expect_line() {
  local track=$1 line=$2
  log_block "$track" | grep -qxF "$line" ||
    fail "track $track's log block lacks \"$line\": $(log_block "$track" | tr '\n' '|')"
}
blocks_of() { echo $(((${lengths[$1 - 1]} + 26) / 27)); }

# rip NAME FAULTS "CONFIG LINES": rips every audio track to WAV.
rip() {
  scenario=$1
  echo "== $scenario (AKRIP_FAULTS=$2)"
  rm -f "$out"/*
  export AKRIP_FAULTS=$2
  { printf 'path=%s\\\r\n' "$(windows_path "$out")"; printf '%b' "$3"; } >"$work/config.ini"
  start_corvale "$work"
  press_rip_watching_progress 120000
  wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
  [ -f "$out/$log_name" ] || fail "no rip log: $(ls "$out")"
}
# Closes the program after checking what the main window told the user.
expect_told() {
  local accurate=$1 told=$2
  if [ -n "$told" ]; then
    probe read-box 20000 || fail "no message names the tracks that are not accurate"
    [[ "$answer" == *"|main|"*"$told"* ]] ||
      fail "the message \"$answer\" is not the main window's or does not say \"$told\""
    echo "told: $answer"
  elif probe read-box 3000; then
    fail "a rip with nothing wrong showed \"$answer\""
  fi
  probe status-text 1 || fail "no status bar text"
  [ "$answer" = "$accurate of $tracks tracks accurate" ] || fail "the status bar says \"$answer\""
  timeout 30 import -window root "$artefacts/accuraterip-$scenario.png" || fail "no screenshot"
  close_corvale
}
expect_file() {
  local track=$1 reference=$2
  local file
  file=$out/$(printf 'Unknown Artist - Track %02d.wav' "$track")
  cmp <(tail -c +$((wav_header_bytes + 1)) "$file") "$reference/$(printf %02d "$track").pcm" ||
    fail "$(basename "$file") differs from the disc's samples"
}

rip offset "read-offset=667" 'readoffset=667\r\n'
while read -r number crc v1 v2; do
  expect_file "$number" "$root/offset"
  expect_line "$number" "  Copy CRC: $crc"
  expect_line "$number" "  AccurateRip v1: $v1"
  expect_line "$number" "  AccurateRip v2: $v2"
  expect_line "$number" "  AccurateRip: accurate, confidence 5"
  expect_line "$number" "  Re-read: none"
  expect_line "$number" "  Result: ok"
done <"$root/offset.sums"
grep -qF "Read offset: +667 samples" "$out/$log_name" || fail "the log does not give the read offset"
grep -q "^GET http://[^ ]*/accuraterip/.*/dBAR-004-" "$root/requests.log" || fail "no database request"
expect_told 4 ""

database_entries 2
rip wrong-entry "" ""
expect_line 2 "  AccurateRip: not accurate (5 submissions)"
expect_line 2 "  Re-read: $(blocks_of 2) blocks"
expect_file 2 "$root/plain"
expect_told 3 "02 Track 02: not accurate"
database_entries

middle2=$((${starts[1]} + 100))
rip corrupt-once "corrupt=$middle2-$((middle2 + 2))*1" ""
expect_line 2 "  AccurateRip: accurate, confidence 5"
expect_line 2 "  Re-read: $(blocks_of 2) blocks"
expect_line 2 "  Result: ok"
for n in 1 2 3 4; do expect_file $n "$root/plain"; done
expect_told 4 ""

end4=$((${starts[3]} + ${lengths[3]}))
rip corrupt-once-cached "corrupt=$((end4 - 30))-$((end4 - 20))*1;cache=64" ""
expect_line 4 "  AccurateRip: accurate, confidence 5"
expect_line 4 "  Re-read: $(blocks_of 4) blocks"
expect_file 4 "$root/plain"
expect_told 4 ""

rip noise "noise=$middle2-$((middle2 + 1))" ""
log_block 2 | grep -q "^  Re-read: [0-9]* blocks, suspicious at 0:01\.[0-9][0-9]" ||
  fail "track 2's suspicious positions are not listed: $(log_block 2 | tr '\n' '|')"
log_block 2 | grep -q "^  AccurateRip: accurate" && fail "a noisy track was called accurate"
expect_line 2 "  Result: suspicious"
expect_told 3 "02 Track 02: suspicious"

middle3=$((${starts[2]} + 100))
rip corrupt-always "corrupt=$middle3-$((middle3 + 2))" ""
expect_line 3 "  AccurateRip: not accurate (5 submissions)"
expect_told 3 "03 Track 03: not accurate"
grep -q "^Summary: 3 of 4 tracks accurate" <(tr -d '\r' <"$out/$log_name") || fail "the summary is wrong"

echo "PASS"
