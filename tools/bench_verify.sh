#!/usr/bin/env bash
# What verification costs: rips a 74-minute virtual disc to WAV through the rip
# worker with securemode 0, 1 and 2, against an AccurateRip database that
# confirms every track, RUNS times each in turn, under Wine.  Prints the best
# and median seconds of each mode and the ratios to mode 0 (goals: mode 1 at
# most 1.05, mode 2 at most 2.2).  Usage: tools/bench_verify.sh [RUNS]  (3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
runs=${1:-3}

if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
cmake --build "$build/win" --target verify_bench akrip

bench="$build/bench"
name=verify-bench-74
cue="$bench/$name.cue"
if [ ! -f "$cue" ] || [ ! -f "$bench/$name.bin" ]; then
  echo "Writing the 74-minute disc into $bench"
  python3 "$root/tools/make_demo_disc.py" "$bench" --name "$name" --minutes 74
fi
out="$bench/verify-out"
rm -rf "$out"
mkdir -p "$out"
results=$(mktemp)
trap 'rm -rf "$out" "$results"' EXIT

export AKRIP_IMAGES="Z:${cue//\//\\}"
status=0
"$root/tools/with-wine.sh" "$root/tools/wine-exec.sh" "$build/win/bin/verify_bench.exe" \
  "$name" "Z:${out//\//\\}" "$runs" >"$results" 2>&1 || status=$?
tr -d '\r' <"$results" | grep -v '^[0-9a-f]*:\(fixme\|err\):' || true
[ "$status" = 0 ] || { echo "verify_bench failed (exit $status)" >&2; exit "$status"; }

tr -d '\r' <"$results" | awk '
  $1 == "run" { t[$3] = t[$3] " " $5 }
  function sorted(list, values,   n, i, j, x) {
    n = split(list, values, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
      if (values[j] + 0 < values[i] + 0) { x = values[i]; values[i] = values[j]; values[j] = x }
    return n
  }
  END {
    print ""
    for (m = 0; m <= 2; m++) {
      mode = "secure" m
      n = sorted(t[mode], v)
      best[m] = v[1]
      median[m] = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
      printf "securemode=%d  best %7.2f s   median %7.2f s   (%d runs)\n", m, best[m], median[m], n
    }
    split("1.05 2.2", goal, " ")
    for (m = 1; m <= 2; m++) {
      ratio = median[m] / median[0]
      printf "ratio securemode=%d / securemode=0: median %.2f   (goal: at most %s) %s\n", m, ratio, goal[m],
             (ratio <= goal[m] ? "met" : "NOT met")
    }
  }'
