#!/usr/bin/env bash
# Start-up time of corvale.exe under Wine with the demo disc as a virtual
# drive: from process creation until the main window's track list shows the
# disc's 4 tracks.  The probe starts the program itself (CreateProcess), polls
# every millisecond, times with the performance counter and closes the window.
# Each run is split into three moments: the process's first window (loading
# and start-up done, the main window being created), the main window shown
# (its set-up done) and the tracks shown.
#
# Absolute times differ several-fold between machines, so each run also starts
# a reference program the same way under the same wineserver, one that only
# shows an empty dialog, and times its first window.  The goal is for the
# median time until the tracks show to be at most 1.3 times the reference's
# median.  A warm-up run comes first and is not counted.  Prints every run,
# then for each moment its best and median, the median against the
# reference's, the median of the run-by-run ratios, and whether the goal is met.
#   tools/bench_startup.sh [RUNS]  (5)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
export CORVALE_ROOT=$root
runs=${1:-5}
demo_tracks=4
timeout_ms=30000
goal_ratio=1.3

bench_build corvale e2e_probe akrip corvale_demo_disc bench_startup_reference
bench_start_wine
bench_use_image "$build/win/demo/corvale-demo.cue"

# A working folder of its own: the program reads and rewrites config.ini there.
mkdir -p "$out/run" "$out/music"
printf 'path=%s\\\r\n' "$(windows_path "$out/music")" >"$out/run/config.ini"

probe=$build/win/bin/e2e_probe.exe
exe=$(windows_path "$build/win/product/corvale.exe")
reference=$(windows_path "$build/win/bin/bench_startup_reference.exe")

# Runs the probe in the program's working folder; its answer goes to
# $out/answer.  Into a file, not a pipe: Wine's helper processes outlive the
# program.
probe() {
  local status=0
  (cd "$out/run" && exec timeout 60 wine "$probe" "$@") >"$out/answer" 2>&1 </dev/null || status=$?
  answer=$(tr -d '\r' <"$out/answer")
  if [ "$status" != 0 ]; then
    echo "run $run failed (exit $status): $answer" >&2
    exit 1
  fi
}

# One line a counted run: reference first window, first window, main window
# shown, tracks shown (seconds).
figures=$out/figures
: >"$figures"
for run in $(seq 0 "$runs"); do
  probe time-window "$reference" "$timeout_ms"
  reference_window=$answer
  probe time-start "$exe" "$demo_tracks" "$timeout_ms"
  read -r first_window main_shown tracks_shown <<<"$answer"
  label="run $run"
  [ "$run" = 0 ] && label="warm-up"
  printf '%-8s reference %s s   first window %s s   main window %s s   tracks shown %s s\n' \
    "$label" "$reference_window" "$first_window" "$main_shown" "$tracks_shown"
  if [ "$run" != 0 ]; then
    echo "$reference_window $first_window $main_shown $tracks_shown" >>"$figures"
  fi
done

# Each stage's best and median, its median against the reference's, and the
# median of the run-by-run ratios (which holds up better when the machine's
# speed drifts during the runs: each run is set against the reference started
# just before it).
echo
awk -v runs="$runs" -v goal="$goal_ratio" '
  function median(values, count,    sorted, i, j, swap) {
    for (i = 1; i <= count; ++i) sorted[i] = values[i]
    for (i = 2; i <= count; ++i) {
      for (j = i; j > 1 && sorted[j - 1] > sorted[j]; --j) {
        swap = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = swap
      }
    }
    return count % 2 ? sorted[(count + 1) / 2] : (sorted[count / 2] + sorted[count / 2 + 1]) / 2
  }
  function best(values, count,    i, least) {
    least = values[1]
    for (i = 2; i <= count; ++i) if (values[i] < least) least = values[i]
    return least
  }
  {
    ++count
    for (stage = 1; stage <= 4; ++stage) {
      value[stage, count] = $stage
      ratio[stage, count] = $stage / $1
    }
  }
  END {
    name[1] = "reference, its first window"
    name[2] = "first window"
    name[3] = "main window shown"
    name[4] = "tracks shown"
    printf "%-28s %8s %8s %10s %12s   (%d runs)\n", "stage", "best s", "median s", "/ref med", "run ratio", runs
    for (stage = 1; stage <= 4; ++stage) {
      for (i = 1; i <= count; ++i) { v[i] = value[stage, i]; r[i] = ratio[stage, i] }
      stage_median[stage] = median(v, count)
      ratio_median[stage] = median(r, count)
      printf "%-28s %8.3f %8.3f %10.2f %12.2f\n", name[stage], best(v, count), stage_median[stage],
             stage_median[stage] / stage_median[1], ratio_median[stage]
    }
    overall = stage_median[4] / stage_median[1]
    printf "tracks shown / reference (medians): %.2f   (goal: at most %.1f) %s\n", overall, goal,
           (overall <= goal ? "met" : "NOT met")
  }' "$figures"
