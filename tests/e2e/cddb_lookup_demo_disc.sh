#!/usr/bin/env bash
# Puts the demo disc in with a CDDB server on 127.0.0.1 set as the HTTP proxy
# in the shared registry key, as a user behind a proxy would have it: the
# album, the artist and the track titles must appear, and a rip must name its
# files from them.  The shared key is restored afterwards.  Needs DISPLAY and
# WINEPREFIX (run it inside tools/with-wine.sh).
#   cddb_lookup_demo_disc.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
server_pid=""

# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
e2e_script_cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; }
e2e_begin "$@"

fail() {
  echo "FAIL: $*" >&2
  [ -s "$root/requests.log" ] && { echo "--- requests:" >&2; cat "$root/requests.log" >&2; }
  exit 1
}

echo "== CDDB server on 127.0.0.1"
python3 "$here/cddb_proxy_server.py" "$root/port" "$root/requests.log" 180 &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$root/port" ] && break; sleep 0.05; done
[ -s "$root/port" ] || fail "the CDDB server did not start"
port=$(cat "$root/port")

echo "== proxy 127.0.0.1:$port in the shared key"
shared_proxy_set "$root" 127.0.0.1 "$port" || fail "could not set the proxy"

echo "== starting corvale.exe"
printf 'path=%s\\\r\n' "$(windows_path "$out")" >"$work/config.ini"
start_corvale "$work"

wanted_title="Corvale - Demo Album (Corvale Players)"
for _ in $(seq 1 100); do
  probe wait-main 1000 && [ "$answer" = "$wanted_title" ] && break
  sleep 0.2
done
[ "$answer" = "$wanted_title" ] || fail "window title \"$answer\", wanted \"$wanted_title\""
probe item-count $track_list || fail "no track list"
[ "$answer" = 4 ] || fail "the track list shows $answer tracks, the disc has 4 audio tracks"
shot=$artefacts/cddb_lookup_demo_disc.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

echo "== ripping tracks 1 and 2"
probe header-rect $track_list || fail "no header on the track list"
read -r left _ _ bottom <<<"$answer"
click $((left + 40)) $((bottom + 6))
timeout 10 xdotool key shift+Down || fail "xdotool could not press Shift+Down"
for _ in $(seq 1 50); do
  probe selection $track_list && [ "$answer" = "2 0 1" ] && break
  sleep 0.1
done
[ "$answer" = "2 0 1" ] || fail "selection is \"$answer\", wanted rows 0 and 1"
press_rip_watching_progress 60000
wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"

# The rip log is named after the disc the CDDB record gave.
expected=$(printf '%s\n' "Corvale Players - Demo Album.log" "Corvale Players - Opening Chord.wav" "Corvale Players - Rising.wav")
listed=$(ls -1 "$out")
[ "$listed" = "$expected" ] || fail "the output folder holds \"$listed\", wanted \"$expected\""

echo "== the requests went to the proxy in absolute form"
grep -q '^GET http://gnudb.gnudb.org/~cddb/cddb.cgi?cmd=cddb+query+' "$root/requests.log" ||
  fail "no query in proxy form"
grep -q '^GET http://gnudb.gnudb.org/~cddb/cddb.cgi?cmd=cddb+read+misc+' "$root/requests.log" ||
  fail "no read in proxy form"
grep -qx 'Host: gnudb.gnudb.org' "$root/requests.log" || fail "no Host header for the server"

close_corvale
echo "PASS"
