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
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
runs=${1:-3}
deps=${CORVALE_DEPS:-/opt/corvale-deps}

if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
cmake --build "$build/win" --target rip_bench akrip
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

out=$(mktemp -d)
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }
source "$root/tools/wine-env.sh"
trap 'corvale_stop_session; rm -rf "$out"' EXIT
corvale_start_display
corvale_start_wine
export AKRIP_IMAGES
AKRIP_IMAGES=$(windows_path "$bench/$name.cue")
unset AKRIP_SPEED

results=$out/results
: >"$results"
for run in $(seq 1 "$runs"); do
  # One worker run of the whole disc; rip_bench also times a per-track pass first.
  wine "$build/win/bin/rip_bench.exe" "$name" "$(windows_path "$out/rip")" 1 >"$out/rip.out" 2>"$out/rip.err" </dev/null ||
    { cat "$out/rip.err" >&2; exit 1; }
  tr -d '\r' <"$out/rip.out" |
    awk -v r="$run" '$1 == "run" && $3 == "worker" { printf "run %d rip seconds %s bytes %s\n", r, $7, $5 }' |
    tee -a "$results"
  # The reference is timed from outside: its process start, timed alone, is taken off.
  start=$(date +%s.%N)
  wine "$reference" >/dev/null 2>&1 </dev/null || true
  started=$(date +%s.%N)
  wine "$reference" "$(windows_path "$bench/$name.flac")" "$(windows_path "$out/decoded.wav")" \
    >"$out/decode.out" 2>&1 </dev/null || { cat "$out/decode.out" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v r="$run" -v s="$start" -v m="$started" -v e="$end" \
    'BEGIN { printf "run %d decode seconds %.3f start-up %.3f\n", r, (e - m) - (m - s), m - s }' |
    tee -a "$results"
  rm -f "$out/decoded.wav"
done

echo
awk '
  $1 == "run" { seconds[$3] = seconds[$3] " " $5 }
  function summary(list, values,   n, i, j, t) {
    n = split(list, values, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
      if (values[j] + 0 < values[i] + 0) { t = values[i]; values[i] = values[j]; values[j] = t }
    best = values[1]
    median = n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
    return n
  }
  END {
    n = summary(seconds["rip"], v); rip_best = best; rip_median = median
    printf "rip      best %7.3f s   median %7.3f s   (%d runs, 20 minutes of audio)\n", best, median, n
    n = summary(seconds["decode"], v); decode_best = best; decode_median = median
    printf "decode   best %7.3f s   median %7.3f s   (%d runs)\n", best, median, n
    ratio = rip_median / decode_median
    printf "ratio rip/decode: best %.2f   median %.2f   (goal: median at most 1.2) %s\n", rip_best / decode_best, ratio,
           (ratio <= 1.2 ? "met" : "NOT met")
  }' "$results"
