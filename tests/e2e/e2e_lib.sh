# Shared by the end-to-end scripts: drives corvale.exe under Wine as a user
# would, through xdotool, and asks e2e_probe.exe about its windows.  Source it
# after setting bin, cue and artefacts; it sets root, work, out, image.
# Needs DISPLAY and WINEPREFIX (run inside tools/with-wine.sh).

image=${cue%.cue}.bin
probe_exe=$bin/e2e_probe.exe
track_list=1044
rip_button=1039

root=$(mktemp -d)
work=$root/work
out=$root/out
mkdir -p "$work" "$out" "$artefacts"
corvale_pid=""

# Wine sees the Unix root as drive Z:.
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

stop_corvale() {
  if [ -n "$corvale_pid" ] && kill -0 "$corvale_pid" 2>/dev/null; then
    kill "$corvale_pid" 2>/dev/null
    sleep 0.5
    kill -9 "$corvale_pid" 2>/dev/null
    wait "$corvale_pid" 2>/dev/null
  fi
  corvale_pid=""
}

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

# Runs the probe; its answer (without carriage returns) lands in $answer.
# A Windows program's output goes to a file: Wine's helper processes would
# hold a pipe open.
probe() {
  timeout 90 wine "$probe_exe" "$@" >"$root/probe.out" 2>"$root/probe.err" </dev/null
  local status=$?
  answer=$(tr -d '\r' <"$root/probe.out")
  if [ $status -ne 0 ]; then
    echo "probe $1: exit $status: $(tr -d '\r' <"$root/probe.err")" >&2
  fi
  return $status
}

click() { timeout 10 xdotool mousemove "$1" "$2" click 1 || fail "xdotool could not click at $1,$2"; }

check_setup() {
  [ -f "$image" ] || fail "no disc image $image"
  [ -f "$probe_exe" ] || fail "no probe $probe_exe"
  [ -n "${DISPLAY:-}" ] || fail "no DISPLAY (run inside tools/with-wine.sh)"
  export AKRIP_IMAGES
  AKRIP_IMAGES=$(windows_path "$cue")
}

# Starts corvale.exe in $work with config.ini made of the output folder line
# and the lines given, and waits for its main window with the demo disc.
start_corvale() {
  echo "== starting corvale.exe in $work"
  printf 'path=%s\\\r\n' "$(windows_path "$out")" >"$work/config.ini"
  [ $# -gt 0 ] && printf '%s\r\n' "$@" >>"$work/config.ini"
  (cd "$work" && exec wine "$bin/corvale.exe") >"$root/corvale.log" 2>&1 </dev/null &
  corvale_pid=$!
  probe wait-main 30000 || fail "the main window did not show within 30 s"
  [ "$answer" = "Corvale - Unknown Title (Unknown Artist)" ] || fail "unexpected window title \"$answer\""
  probe item-count $track_list || fail "no track list"
  [ "$answer" = 4 ] || fail "the track list shows $answer tracks, the disc has 4 audio tracks"
}

# Clicks RIP and waits until the progress window has come and gone.
rip_and_wait() {
  echo "== ripping"
  rm -f "$root/watch.ready"
  timeout 120 wine "$probe_exe" watch "Ripping..." "$(windows_path "$root/watch.ready")" 60000 \
    >"$root/watch.out" 2>&1 </dev/null &
  local watch_pid=$!
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
  local watch_status=$?
  [ $watch_status -eq 0 ] || fail "progress window: $(tr -d '\r' <"$root/watch.out") (exit $watch_status)"
  echo "progress window $(tr -d '\r' <"$root/watch.out")"
}

screenshot() {
  local shot=$artefacts/$1
  timeout 30 import -window root "$shot" || fail "no screenshot"
  echo "screenshot: $shot"
}

# Closes the main window and checks a clean exit that rewrote config.ini.
close_corvale() {
  echo "== closing"
  probe close || fail "could not post WM_CLOSE to the main window"
  for _ in $(seq 1 200); do
    kill -0 "$corvale_pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$corvale_pid" 2>/dev/null && fail "corvale.exe still runs 10 s after WM_CLOSE"
  wait "$corvale_pid"
  local exit_code=$?
  corvale_pid=""
  [ $exit_code -eq 0 ] || fail "corvale.exe exited with code $exit_code"
  [ "$(head -c 8 "$work/config.ini")" = "version=" ] ||
    fail "config.ini was not rewritten; it starts with \"$(head -c 40 "$work/config.ini")\""
}
