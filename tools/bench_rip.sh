#!/usr/bin/env bash
# Rips a 74-minute virtual disc to WAV files under Wine, once per track through
# the extraction call and once as a rip worker job, and compares the speed with
# a plain copy of the disc image (dd, 63504-byte blocks, same file system).
# Prints the best and median of the runs for each, and the ratio of rip to copy
# speed; the goal is at least 0.5.  Usage: tools/bench_rip.sh [RUNS]  (3)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
runs=${1:-3}

bench_build rip_bench akrip
bench="$build/bench"
name=rip-bench-74
bin="$bench/$name.bin"
bench_write_disc "$bench" "$name" 74
rip_out="$bench/out"
bench_rip_disc "$build/win/bin/rip_bench.exe" "$bench/$name.cue" "$rip_out" "$runs"
results=$out/results

bytes=$(stat -c %s "$bin")
for run in $(seq 1 "$runs"); do
  copy="$rip_out/copy.bin"
  start=$(date +%s.%N)
  dd if="$bin" of="$copy" bs=63504 status=none
  end=$(date +%s.%N)
  rm -f "$copy"
  awk -v run="$run" -v bytes="$bytes" -v start="$start" -v end="$end" 'BEGIN {
    printf "run %d copy bytes %d seconds %.3f mbps %.1f\n", run, bytes, end - start, bytes / 1e6 / (end - start)
  }' | tee -a "$results"
done

# Best and median MB/s per mode, then the ratios to the copy.
echo
for mode in extract worker copy; do
  read -r best median count <<<"$(best_and_median "$mode" 9 "$results" highest)"
  [ "$count" != 0 ] || continue
  printf_figures "%-8s best %7.1f MB/s   median %7.1f MB/s   (%d runs)\n" "$mode" "$best" "$median" "$count"
  printf -v "best_$mode" %s "$best"
  printf -v "median_$mode" %s "$median"
done
for mode in extract worker; do
  best_var=best_$mode median_var=median_$mode
  [ -n "${!best_var:-}" ] && [ -n "${best_copy:-}" ] || continue
  awk -v mode="$mode" -v b="${!best_var}" -v m="${!median_var}" -v cb="$best_copy" -v cm="$median_copy" 'BEGIN {
    ratio = m / cm
    printf "ratio %s/copy: best %.2f   median %.2f   (goal: median at least 0.5) %s\n", mode, b / cb, ratio,
           (ratio >= 0.5 ? "met" : "NOT met")
  }'
done
