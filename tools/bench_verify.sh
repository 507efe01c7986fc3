#!/usr/bin/env bash
# What verification costs: rips a 74-minute virtual disc to WAV through the rip
# worker with securemode 0, 1 and 2, against an AccurateRip database that
# confirms every track, RUNS times each in turn, under Wine.  Prints the best
# and median seconds of each mode and the ratios to mode 0 (goals: mode 1 at
# most 1.05, mode 2 at most 2.2).  Usage: tools/bench_verify.sh [RUNS]  (3)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
runs=${1:-3}

bench_build verify_bench akrip
bench="$build/bench"
name=verify-bench-74
bench_write_disc "$bench" "$name" 74
bench_rip_disc "$build/win/bin/verify_bench.exe" "$bench/$name.cue" "$bench/verify-out" "$runs"
results=$out/results

echo
for mode in 0 1 2; do
  read -r best median count <<<"$(best_and_median "secure$mode" 5 "$results")"
  printf_figures "securemode=%d  best %7.2f s   median %7.2f s   (%d runs)\n" "$mode" "$best" "$median" "$count"
  printf -v "median_$mode" %s "$median"
done
for mode_goal in 1:1.05 2:2.2; do
  mode=${mode_goal%:*} median_var=median_${mode_goal%:*}
  awk -v mode="$mode" -v goal="${mode_goal#*:}" -v m="${!median_var}" -v m0="$median_0" 'BEGIN {
    ratio = m / m0
    printf "ratio securemode=%d / securemode=0: median %.2f   (goal: at most %s) %s\n", mode, ratio, goal,
           (ratio <= goal ? "met" : "NOT met")
  }'
done
