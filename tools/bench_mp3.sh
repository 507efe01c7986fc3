#!/usr/bin/env bash
# Rips a 10-minute virtual disc to MP3 under Wine through the rip worker with
# the bootstrap's LAME, and in the same run extracts the disc to WAV and runs
# LAME on each WAV one after another.  Each encoder process of the job
# overlaps the next track's extraction, so the job should take less than the
# two steps together: prints the ratio job / (extraction + LAME alone), goal at
# most 1.0.  Usage: tools/bench_mp3.sh [RUNS]  (1)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
runs=${1:-1}
lame="$deps/bin/lame.exe"
[ -f "$lame" ] || { echo "no $lame (tools/bootstrap.sh builds it)" >&2; exit 1; }

bench_build mp3_bench akrip
bench="$build/bench"
name=mp3-bench-10
bench_write_disc "$bench" "$name" 10 5
bench_rip_disc "$build/win/bin/mp3_bench.exe" "$bench/$name.cue" "$bench/mp3-work" "$(windows_path "$lame")" "$runs"
echo "(ratio = MP3 job through the worker / (extraction alone + LAME alone); goal: at most 1.0)"
