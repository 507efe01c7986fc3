#!/usr/bin/env bash
# FLAC and Opus encoder benchmark, all under the same Wine in one run:
#  - speed: one 10-minute WAV encoded by the program's encoder (EncodeFlacFile
#    at level 5, EncodeOpusFile at 160 kbit/s) and by the encoder example of
#    the library's Debian source package (libFLAC's, libopusenc's; built by
#    tools/bootstrap.sh against the same static libraries with the same
#    compiler and flags, at the same setting), RUNS times each, alternating;
#    prints the processor and wall time of every run, best and median, and
#    ours / reference in processor time (goal: at most 1.05 for each);
#  - memory: peak private bytes and peak working set of the process that
#    encodes a 1-minute and a 79-minute WAV (goal: within 2 MB of each other).
# The WAVs are those of tools/bench_ogg.sh, written once into
# $CORVALE_BUILD/bench/ogg (about 950 MB).
# Usage: tools/bench_codecs.sh [RUNS] [flac|opus] [speed|memory]  (3 runs, both codecs, both parts)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
runs=${1:-3}
codecs=${2:-flac opus}
[ "$codecs" = all ] && codecs="flac opus"
part=${3:-all}

if [ ! -f "$deps/bin/flac_encode_example.exe" ] || [ ! -f "$deps/bin/opusenc_example.exe" ]; then
  "$root/tools/bootstrap.sh"
fi
bench_build codec_bench ogg_bench
bench_exe=$build/win/bin/codec_bench.exe

bench_start_wine
bench_write_encoder_wavs

encode_ours() { run_windows "$bench_exe" "$codec" "$(windows_path "$1")" "$(windows_path "$out/ours.$codec")" >/dev/null; }
encode_reference() {
  local example=$deps/bin/flac_encode_example.exe
  [ "$codec" = opus ] && example=$deps/bin/opusenc_example.exe
  run_windows "$example" "$(windows_path "$1")" "$(windows_path "$out/reference.$codec")" >/dev/null
}
encode_for_memory() { run_windows "$bench_exe" "$codec" "$(windows_path "$1")" "$(windows_path "$out/memory.$codec")"; }

speed() {
  local wav10=$encoder_wavs/test-10.wav results=$out/results
  time_ours_and_reference "$results" "$wav10"
  echo "sizes: ours $(stat -c %s "$out/ours.$codec") reference $(stat -c %s "$out/reference.$codec") bytes"
  print_encode_summary "$results" ours reference
  awk -v c="$codec" -v b="$best_ours" -v m="$median_ours" -v rb="$best_reference" -v rm="$median_reference" 'BEGIN {
    printf "%s ratio ours/reference (cpu): best %.3f   median %.3f   goal at most 1.05: %s\n", c, b / rb, m / rm,
      m / rm <= 1.05 ? "met" : "MISSED"
  }'
}

for codec in $codecs; do
  echo "== $codec"
  case $part in
    speed) speed ;;
    memory) print_encode_memory "$codec " ;;
    *) speed; echo; print_encode_memory "$codec " ;;
  esac
done
