# Helpers shared by the end-to-end scripts: they drive corvale.exe under Wine
# as a user would and ask e2e_probe.exe what its windows show.  A script
# sources this file, defines e2e_script_cleanup when it leaves more behind
# than the program and $root, then calls e2e_begin with its own arguments.
# shellcheck shell=bash

# shellcheck source=tests/e2e/shared_proxy.sh
source "$(dirname "${BASH_SOURCE[0]}")/shared_proxy.sh"

corvale_pid=""
root=""
# A command (and its arguments) that starts wine for the program, when set.
corvale_runner=()
track_list=1044
rip_button=1039

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

# Clicks the middle of a rectangle given as "left top right bottom".
click_rect() {
  local left top right bottom
  read -r left top right bottom <<<"$1"
  click $(((left + right) / 2)) $(((top + bottom) / 2))
}

# Starts corvale.exe in the folder $1 and waits for its main window.  A Linux
# library named in $corvale_preload is preloaded into Wine; wine is started
# through $corvale_runner when it is set.
start_corvale() {
  local work=$1
  (cd "$work" && LD_PRELOAD=${corvale_preload:-} exec "${corvale_runner[@]}" wine "$bin/corvale.exe") \
    >"$root/corvale.log" 2>&1 </dev/null &
  corvale_pid=$!
  probe wait-main 30000 || fail "the main window did not show within 30 s"
}

# Clicks the first row of the track list and waits until it alone is selected.
select_first_track() {
  local left bottom selection=""
  probe header-rect $track_list || fail "no header on the track list"
  read -r left _ _ bottom <<<"$answer"
  click $((left + 40)) $((bottom + 6))
  for _ in $(seq 1 50); do
    probe selection $track_list || fail "could not read the track list's selection"
    selection=$answer
    [ "$selection" = "1 0" ] && return 0
    sleep 0.1
  done
  fail "selection is \"$selection\" (count, rows), wanted row 0 only"
}

# Starts a watcher for the progress window, then presses RIP.  The watcher's
# pid is left in $watch_pid; its report goes to $root/watch.out.
press_rip_watching_progress() {
  local timeout_ms=$1
  rm -f "$root/watch.ready"
  timeout 120 wine "$probe_exe" watch "Ripping..." "$(windows_path "$root/watch.ready")" "$timeout_ms" \
    >"$root/watch.out" 2>&1 </dev/null &
  watch_pid=$!
  for _ in $(seq 1 200); do
    [ -f "$root/watch.ready" ] && break
    kill -0 $watch_pid 2>/dev/null || break
    sleep 0.05
  done
  [ -f "$root/watch.ready" ] || fail "the progress watcher did not start"
  probe rect $rip_button || fail "no RIP button"
  click_rect "$answer"
}

# Asks the main window to close and checks that the program ends cleanly.
close_corvale() {
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
}

# Takes the arguments PRODUCT_DIR DEMO_CUE ARTEFACT_DIR; sets bin (the
# program's folder), test_bin (the probe's and the stand-ins' folder, from
# CORVALE_TEST_BIN), cue, artefacts, image, probe_exe, and root with its
# folders work and out (the caller removes root); checks what every script
# needs and offers the demo disc as a virtual drive.
e2e_setup() {
  if [ $# -ne 3 ]; then
    echo "usage: CORVALE_TEST_BIN=DIR $0 PRODUCT_DIR DEMO_CUE ARTEFACT_DIR" >&2
    exit 2
  fi
  bin=$1
  test_bin=${CORVALE_TEST_BIN:-$(dirname "$bin")/bin}
  cue=$2
  artefacts=$3
  image=${cue%.cue}.bin
  probe_exe=$test_bin/e2e_probe.exe
  root=$(mktemp -d)
  work=$root/work
  out=$root/out
  mkdir -p "$work/temp" "$out" "$artefacts"
  [ -f "$image" ] || fail "no disc image $image"
  [ -f "$probe_exe" ] || fail "no probe $probe_exe"
  [ -n "${DISPLAY:-}" ] || fail "no DISPLAY (run inside tools/with-wine.sh)"
  export AKRIP_IMAGES
  AKRIP_IMAGES=$(windows_path "$cue")
}

# Runs when a script ends, however it ends: the program is stopped before the
# script's own cleanup, which may remove what the program still uses.
e2e_cleanup() {
  stop_corvale
  if declare -F e2e_script_cleanup >/dev/null; then e2e_script_cleanup; fi
  shared_proxy_restore
  [ -n "$root" ] && rm -rf "$root"
}

# Every run of the program stores its window, divider and column layout and
# its toolbar below the user's key of the shared prefix; without forgetting
# them one script's window would start as the last script left it.
stored_layouts_key='HKCU\Software\VELMARON\Corvale Rip\DLGS'
stored_toolbars_key='HKCU\Software\VELMARON\Corvale Rip\Toolbar'
forget_stored_layouts() {
  local key
  for key in "$stored_layouts_key" "$stored_toolbars_key"; do
    # "reg query" fails for a missing key, so a failed delete of a key that
    # still exists is told apart from one that had nothing to delete.
    timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
    if timeout 60 wine reg query "$key" >/dev/null 2>&1; then
      echo "cannot forget the stored layouts in $key" >&2
      return 1
    fi
  done
}

# The start every script shares: cleanup on exit, e2e_setup with the
# script's arguments, no stored layouts, and a proxy on the loopback where
# nothing listens, so that the lookup which follows the disc fails at once
# and sends nothing off the machine (a script with a server of its own sets
# the proxy again).
e2e_begin() {
  trap e2e_cleanup EXIT
  e2e_setup "$@"
  forget_stored_layouts || fail "stored layouts remain from an earlier run"
  shared_proxy_set "$root" 127.0.0.1 1 || fail "could not set the proxy"
}

# Runs the rest of the script on a copy of the program in $root/program, so
# that documents put beside it are the test's own ($bin then names the copy).
use_program_copy() {
  program=$root/program
  mkdir -p "$program"
  cp "$bin"/*.exe "$bin"/*.dll "$program"/ || fail "cannot copy the program"
  bin=$program
}

# Waits up to ATTEMPTS tenths of a second for the stand-in browser's log
# (set in CORVALE_FAKE_BROWSER_LOG) to record a start, then checks that it
# was started with ADDRESS, quoted.
#   expect_browser_started LOG ADDRESS ATTEMPTS
expect_browser_started() {
  local log=$1 address=$2 attempts=$3 line
  for _ in $(seq 1 "$attempts"); do
    grep -q '^start|' "$log" 2>/dev/null && break
    sleep 0.1
  done
  line=$(grep '^start|' "$log" 2>/dev/null | tr -d '\r')
  [ -n "$line" ] || fail "the browser was not started"
  case "$line" in
    *" \"$address\"") echo "browser started: ${line#start|}" ;;
    *) fail "the browser got \"$line\"" ;;
  esac
}
