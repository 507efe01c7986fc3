#!/usr/bin/env bash
# Ogg Vorbis encoder benchmark, all under the same Wine in one run:
#  - speed: one 10-minute WAV encoded by EncodeOggFile and by the libvorbis
#    encoder example (built by tools/bootstrap.sh with the same compiler and
#    flags, set to the same quality), RUNS times each, alternating; prints the
#    processor and wall time of every run, best and median, and ours /
#    reference in processor time (goal: at most 1.05); then native
#    `oggenc -q 5` on the same WAV, for information;
#  - memory: peak private bytes and peak working set of the process that
#    encodes a 1-minute and a 79-minute WAV (goal: within 2 MB of each other
#    and under 64 MB).
# The WAVs are written once into $CORVALE_BUILD/bench/ogg (about 950 MB).
# Usage: tools/bench_ogg.sh [RUNS] [speed|memory]  (3 runs, both parts)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
runs=${1:-3}
part=${2:-all}
reference=$deps/bin/encoder_example.exe

if [ ! -f "$reference" ] || ! command -v oggenc >/dev/null; then "$root/tools/bootstrap.sh"; fi
bench_build ogg_bench
bench_exe=$build/win/bin/ogg_bench.exe

bench_start_wine
bench_write_encoder_wavs

encode_ours() { run_windows "$bench_exe" encode "$(windows_path "$1")" "$(windows_path "$out/ours.ogg")" >/dev/null; }
encode_reference() { wine "$reference" <"$1" >"$out/reference.ogg" 2>"$out/reference.err"; }
encode_oggenc() { oggenc -Q -q 5 -o "$out/oggenc.ogg" "$1"; }
encode_for_memory() { run_windows "$bench_exe" encode "$(windows_path "$1")" "$(windows_path "$out/memory.ogg")"; }

speed() {
  local wav10=$encoder_wavs/test-10.wav results=$out/results
  time_ours_and_reference "$results" "$wav10"
  timed_encode 1 oggenc "$wav10" | tee -a "$results"
  echo "sizes: ours $(stat -c %s "$out/ours.ogg") reference $(stat -c %s "$out/reference.ogg") oggenc $(stat -c %s "$out/oggenc.ogg") bytes"

  echo
  print_encode_summary "$results" ours reference oggenc
  awk -v b="$best_ours" -v m="$median_ours" -v rb="$best_reference" -v rm="$median_reference" -v n="$best_oggenc" 'BEGIN {
    printf "ratio ours/reference (cpu): best %.3f   median %.3f   (goal: at most 1.05)\n", b / rb, m / rm
    printf "ratio ours/native oggenc -q 5 (cpu): best %.2f   (for information: Wine and 32 bits)\n", b / n
  }'
}

case $part in
  speed) speed ;;
  memory) print_encode_memory "" 64 ;;
  *) speed; echo; print_encode_memory "" 64 ;;
esac
