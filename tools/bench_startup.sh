#!/usr/bin/env bash
# Start-up time of corvale.exe under Wine with the demo disc as a virtual
# drive: from process creation until the main window's track list shows the
# disc's 4 tracks.  The probe starts the program itself (CreateProcess), polls
# the list every millisecond, times with the performance counter and closes
# the window.  Each run also shows when the process had its first window (the
# end of loading, before the main window's set-up).  A warm-up run comes first and is not counted.  Prints every run,
# the best and the median; the goal is under 0.3 s.
#   tools/bench_startup.sh [RUNS]  (5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_ROOT=$root
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
runs=${1:-5}
demo_tracks=4
timeout_ms=30000

if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
cmake --build "$build/win" --target corvale e2e_probe akrip corvale_demo_disc

source "$root/tools/wine-env.sh"
work=$(mktemp -d)
cleanup() {
  corvale_stop_session
  rm -rf "$work"
}
trap cleanup EXIT
corvale_start_display
corvale_start_wine

# Wine sees the Unix root as drive Z:.
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }
cue=$build/win/demo/corvale-demo.cue
export AKRIP_IMAGES
AKRIP_IMAGES=$(windows_path "$cue")
# A working folder of its own: the program reads and rewrites config.ini there.
mkdir -p "$work/run" "$work/out"
printf 'path=%s\\\r\n' "$(windows_path "$work/out")" >"$work/run/config.ini"

probe=$build/win/bin/e2e_probe.exe
exe=$(windows_path "$build/win/bin/corvale.exe")
times=$work/times
: >"$times"
for run in $(seq 0 "$runs"); do
  # Into a file, not a pipe: Wine's helper processes outlive the program.
  status=0
  (cd "$work/run" && exec timeout 60 wine "$probe" time-start "$exe" "$demo_tracks" "$timeout_ms") \
    >"$work/answer" 2>&1 </dev/null || status=$?
  answer=$(tr -d '\r' <"$work/answer")
  if [ "$status" != 0 ]; then
    echo "run $run failed (exit $status): $answer" >&2
    exit 1
  fi
  read -r first_window tracks_shown <<<"$answer"
  label="run $run"
  [ "$run" = 0 ] && label="warm-up"
  printf '%-8s first window %s s   tracks shown %s s\n' "$label" "$first_window" "$tracks_shown"
  [ "$run" = 0 ] || echo "$tracks_shown" >>"$times"
done

sort -g "$times" | awk '
  { v[NR] = $1 }
  END {
    median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "\nstart-up until the tracks show: best %.3f s   median %.3f s   (%d runs; goal: under 0.3 s)\n",
           v[1], median, NR
  }'
