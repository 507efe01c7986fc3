#!/usr/bin/env bash
# Rips a disc image whose audio is one FLAC file to WAV files under Wine,
# through the rip worker as the program does (tools/rip_bench's worker runs),
# and decodes the same FLAC file to one WAV with the decoder example of the
# flac source package (built here with the program's compiler and flags and
# its libFLAC), both under the same Wine, alternating.  Prints every run, the
# best and median of each, and the ratio rip / decode of the medians; the goal
# is at most 1.2.  The decoder's time leaves out a process start of Wine,
# timed alone in each run (the rip is timed inside its process).  The image (20 minutes in 8 tracks) is written once into
# $CORVALE_BUILD/bench/flac-image/.  Usage: tools/bench_flac_image.sh [RUNS]  (3)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
runs=${1:-3}

bench_build rip_bench akrip
command -v flac >/dev/null || { echo "flac is needed on the host to write the image" >&2; exit 1; }

bench=$build/bench/flac-image
name=flac-bench
mkdir -p "$bench"
reference=$bench/flac_decode_example.exe
if [ ! -f "$reference" ]; then
  echo "Building the flac source package's decoder example"
  work=$(mktemp -d)
  (
    cd "$work"
    apt-get source -q --download-only flac >/dev/null
    dpkg-source -x ./*.dsc src >/dev/null
    # The example prints with PRIu64 but leaves <inttypes.h> to its build system.
    i686-w64-mingw32-gcc-posix -O2 -msse2 -mfpmath=sse -DFLAC__NO_DLL -include inttypes.h -I"$deps/include" -Isrc/include \
      src/examples/c/decode/file/main.c "$deps/lib/libFLAC.a" -static -static-libgcc -o "$reference"
  )
  rm -rf "$work"
fi
if [ ! -f "$bench/$name.cue" ] || [ ! -f "$bench/$name.flac" ]; then
  echo "Writing the 20-minute FLAC image into $bench"
  python3 "$root/tools/make_demo_disc.py" "$bench" --name "$name-bin" --minutes 20 --tracks 8
  flac -s -f --force-raw-format --endian=little --sign=signed --channels=2 --bps=16 --sample-rate=44100 \
    -o "$bench/$name.flac" "$bench/$name-bin.bin"
  # The same tracks, now in the FLAC file, named WAVE as rippers name it.
  sed -e "s/^FILE .*/FILE \"$name.flac\" WAVE/" "$bench/$name-bin.cue" >"$bench/$name.cue"
  rm -f "$bench/$name-bin.bin" "$bench/$name-bin.cue"
fi

bench_start_wine
bench_use_image "$bench/$name.cue"

results=$out/results
: >"$results"
for run in $(seq 1 "$runs"); do
  # One worker run of the whole disc; rip_bench also times a per-track pass first.
  run_windows "$build/win/bin/rip_bench.exe" "$name" "$(windows_path "$out/rip")" 1 |
    awk -v r="$run" '$1 == "run" && $3 == "worker" { printf "run %d rip seconds %s bytes %s\n", r, $7, $5 }' |
    tee -a "$results"
  # The reference is timed from outside: its process start, timed alone, is taken off.
  start=$(date +%s.%N)
  wine "$reference" >/dev/null 2>&1 </dev/null || true
  started=$(date +%s.%N)
  run_windows_to_file "$reference" "$(windows_path "$bench/$name.flac")" "$(windows_path "$out/decoded.wav")"
  end=$(date +%s.%N)
  awk -v r="$run" -v s="$start" -v m="$started" -v e="$end" \
    'BEGIN { printf "run %d decode seconds %.3f start-up %.3f\n", r, (e - m) - (m - s), m - s }' |
    tee -a "$results"
  rm -f "$out/decoded.wav"
done

echo
read -r rip_best rip_median count <<<"$(best_and_median rip 5 "$results")"
printf_figures "rip      best %7.3f s   median %7.3f s   (%d runs, 20 minutes of audio)\n" "$rip_best" "$rip_median" "$count"
read -r decode_best decode_median count <<<"$(best_and_median decode 5 "$results")"
printf_figures "decode   best %7.3f s   median %7.3f s   (%d runs)\n" "$decode_best" "$decode_median" "$count"
awk -v b="$rip_best" -v m="$rip_median" -v db="$decode_best" -v dm="$decode_median" 'BEGIN {
  ratio = m / dm
  printf "ratio rip/decode: best %.2f   median %.2f   (goal: median at most 1.2) %s\n", b / db, ratio,
         (ratio <= 1.2 ? "met" : "NOT met")
}'
