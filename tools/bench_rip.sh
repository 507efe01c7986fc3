#!/usr/bin/env bash
# Rips a 74-minute virtual disc to WAV files under Wine, once per track through
# the extraction call and once as a rip worker job, and compares the speed with
# a plain copy of the disc image (dd, 63504-byte blocks, same file system).
# Prints the best and median of the runs for each, and the ratio of rip to copy
# speed; the goal is at least 0.5.  Usage: tools/bench_rip.sh [RUNS]  (3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
runs=${1:-3}

if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
cmake --build "$build/win" --target rip_bench akrip

bench="$build/bench"
name=rip-bench-74
cue="$bench/$name.cue"
bin="$bench/$name.bin"
if [ ! -f "$cue" ] || [ ! -f "$bin" ]; then
  echo "Writing the 74-minute disc into $bench"
  python3 "$root/tools/make_demo_disc.py" "$bench" --name "$name" --minutes 74
fi
out="$bench/out"
rm -rf "$out"
mkdir -p "$out"
results=$(mktemp)
trap 'rm -rf "$out" "$results"' EXIT

# Wine sees the Unix root as drive Z:.
export AKRIP_IMAGES="Z:${cue//\//\\}"
# Into a file, not a pipe: the display and Wine's helpers outlive the program.
status=0
"$root/tools/with-wine.sh" "$root/tools/wine-exec.sh" "$build/win/bin/rip_bench.exe" \
  "$name" "Z:${out//\//\\}" "$runs" >"$results" 2>&1 || status=$?
tr -d '\r' <"$results" >"$results.txt" && mv "$results.txt" "$results"
grep -v '^[0-9a-f]*:\(fixme\|err\):' "$results" || true
if [ "$status" != 0 ]; then
  echo "rip_bench failed (exit $status)" >&2
  exit "$status"
fi

bytes=$(stat -c %s "$bin")
for run in $(seq 1 "$runs"); do
  copy="$out/copy.bin"
  start=$(date +%s.%N)
  dd if="$bin" of="$copy" bs=63504 status=none
  end=$(date +%s.%N)
  rm -f "$copy"
  awk -v run="$run" -v bytes="$bytes" -v start="$start" -v end="$end" 'BEGIN {
    printf "run %d copy bytes %d seconds %.3f mbps %.1f\n", run, bytes, end - start, bytes / 1e6 / (end - start)
  }' | tee -a "$results"
done

# Best and median MB/s per mode, then the ratios to the copy.
awk '
  $1 == "run" { speed[$3] = speed[$3] " " $9 }
  function sorted(list, values,   n, i, j, t) {
    n = split(list, values, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
      if (values[j] + 0 < values[i] + 0) { t = values[i]; values[i] = values[j]; values[j] = t }
    return n
  }
  END {
    print ""
    split("extract worker copy", modes, " ")
    for (m = 1; m <= 3; m++) {
      mode = modes[m]
      if (!(mode in speed)) continue
      n = sorted(speed[mode], v)
      best[mode] = v[n]
      median[mode] = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
      printf "%-8s best %7.1f MB/s   median %7.1f MB/s   (%d runs)\n", mode, best[mode], median[mode], n
    }
    for (m = 1; m <= 2; m++) {
      mode = modes[m]
      if (!(mode in best) || !("copy" in best)) continue
      ratio = median[mode] / median["copy"]
      printf "ratio %s/copy: best %.2f   median %.2f   (goal: median at least 0.5) %s\n", mode,
             best[mode] / best["copy"], ratio, (ratio >= 0.5 ? "met" : "NOT met")
    }
  }' "$results"
