#!/usr/bin/env bash
# Rips a 10-minute virtual disc to MP3 under Wine through the rip worker with
# the bootstrap's LAME, and in the same run extracts the disc to WAV and runs
# LAME on each WAV one after another.  Each encoder process of the job
# overlaps the next track's extraction, so the job should take less than the
# two steps together: prints the ratio job / (extraction + LAME alone), goal at
# most 1.0.  Usage: tools/bench_mp3.sh [RUNS]  (1)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
runs=${1:-1}
lame="${CORVALE_DEPS:-/opt/corvale-deps}/bin/lame.exe"
[ -f "$lame" ] || { echo "no $lame (tools/bootstrap.sh builds it)" >&2; exit 1; }

if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
cmake --build "$build/win" --target mp3_bench akrip

bench="$build/bench"
name=mp3-bench-10
cue="$bench/$name.cue"
if [ ! -f "$cue" ]; then
  echo "Writing the 10-minute disc into $bench"
  python3 "$root/tools/make_demo_disc.py" "$bench" --name "$name" --minutes 10 --tracks 5
fi
work="$bench/mp3-work"
rm -rf "$work"
results=$(mktemp)
trap 'rm -rf "$work" "$results"' EXIT

# Wine sees the Unix root as drive Z:.
export AKRIP_IMAGES="Z:${cue//\//\\}"
status=0
"$root/tools/with-wine.sh" "$root/tools/wine-exec.sh" "$build/win/bin/mp3_bench.exe" \
  "$name" "Z:${work//\//\\}" "Z:${lame//\//\\}" "$runs" >"$results" 2>&1 || status=$?
tr -d '\r' <"$results" | grep -v '^[0-9a-f]*:\(fixme\|err\):' || true
if [ "$status" != 0 ]; then
  echo "mp3_bench failed (exit $status)" >&2
  exit "$status"
fi
echo "(ratio = MP3 job through the worker / (extraction alone + LAME alone); goal: at most 1.0)"
