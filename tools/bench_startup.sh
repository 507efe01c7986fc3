#!/usr/bin/env bash
# Start-up time of corvale.exe under Wine with the demo disc as a virtual
# drive: from process creation until the main window's track list shows the
# disc's 4 tracks.  The probe starts the program itself (CreateProcess), polls
# the list every millisecond, times with the performance counter and closes
# the window.  Each run also shows when the process had its first window (the
# end of loading, before the main window's set-up).
#
# Absolute times differ several-fold between machines, so each run also starts
# a reference program the same way under the same wineserver, one that only
# shows an empty dialog, and times its first window.  The goal is for the
# median time until the tracks show to be at most 1.3 times the reference's
# median.  A warm-up run comes first and is not counted.  Prints every run,
# the best and the median of each, the ratio and whether the goal is met.
#   tools/bench_startup.sh [RUNS]  (5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_ROOT=$root
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
runs=${1:-5}
demo_tracks=4
timeout_ms=30000
goal_ratio=1.3

if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
cmake --build "$build/win" --target corvale e2e_probe akrip corvale_demo_disc bench_startup_reference

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
exe=$(windows_path "$build/win/product/corvale.exe")
reference=$(windows_path "$build/win/bin/bench_startup_reference.exe")

# Runs the probe in the program's working folder; its answer goes to
# $work/answer.  Into a file, not a pipe: Wine's helper processes outlive the
# program.
probe() {
  local status=0
  (cd "$work/run" && exec timeout 60 wine "$probe" "$@") >"$work/answer" 2>&1 </dev/null || status=$?
  answer=$(tr -d '\r' <"$work/answer")
  if [ "$status" != 0 ]; then
    echo "run $run failed (exit $status): $answer" >&2
    exit 1
  fi
}

times=$work/times
reference_times=$work/reference_times
: >"$times"
: >"$reference_times"
for run in $(seq 0 "$runs"); do
  probe time-window "$reference" "$timeout_ms"
  reference_window=$answer
  probe time-start "$exe" "$demo_tracks" "$timeout_ms"
  read -r first_window tracks_shown <<<"$answer"
  label="run $run"
  [ "$run" = 0 ] && label="warm-up"
  printf '%-8s reference first window %s s   first window %s s   tracks shown %s s\n' \
    "$label" "$reference_window" "$first_window" "$tracks_shown"
  if [ "$run" != 0 ]; then
    echo "$tracks_shown" >>"$times"
    echo "$reference_window" >>"$reference_times"
  fi
done

# "BEST MEDIAN" of a file of numbers, one a line.
best_and_median() {
  sort -g "$1" | awk '
    { v[NR] = $1 }
    END { printf "%.4f %.4f\n", v[1], NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
read -r best median <<<"$(best_and_median "$times")"
read -r reference_best reference_median <<<"$(best_and_median "$reference_times")"
echo
printf 'start-up until the tracks show:    best %.3f s   median %.3f s   (%d runs)\n' "$best" "$median" "$runs"
printf 'reference until its first window:  best %.3f s   median %.3f s\n' "$reference_best" "$reference_median"
awk -v program="$median" -v reference="$reference_median" -v goal="$goal_ratio" 'BEGIN {
  ratio = program / reference
  printf "ratio of the medians: %.2f   (goal: at most %.1f) %s\n", ratio, goal, (ratio <= goal ? "met" : "NOT met")
}'
