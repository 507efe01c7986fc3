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
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
runs=${1:-3}
codecs=${2:-flac opus}
[ "$codecs" = all ] && codecs="flac opus"
part=${3:-all}
deps=${CORVALE_DEPS:-/opt/corvale-deps}

if [ ! -f "$deps/bin/flac_encode_example.exe" ] || [ ! -f "$deps/bin/opusenc_example.exe" ]; then
  "$root/tools/bootstrap.sh"
fi
if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
cmake --build "$build/win" --target codec_bench ogg_bench
bench_exe=$build/win/bin/codec_bench.exe

bench="$build/bench/ogg"
mkdir -p "$bench"
out=$(mktemp -d)
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

source "$root/tools/wine-env.sh"
trap 'corvale_stop_session; rm -rf "$out"' EXIT
corvale_start_display
corvale_start_wine

# A Windows program's output goes to a file: Wine's helpers would hold a pipe.
run_windows() {
  wine "$@" >"$out/bench.out" 2>"$out/bench.err" </dev/null || { cat "$out/bench.err" >&2; return 1; }
  tr -d '\r' <"$out/bench.out"
}

for minutes in 1 10 79; do
  wav=$bench/test-$minutes.wav
  if [ ! -f "$wav" ]; then
    echo "Writing a $minutes-minute WAV into $bench"
    run_windows "$build/win/bin/ogg_bench.exe" write-wav "$(windows_path "$wav.part")" "$minutes" && mv "$wav.part" "$wav"
  fi
done

# "BEST MEDIAN COUNT" of one way's figures in field FIELD of the results file.
best_and_median() {
  awk -v way="$1" -v field="$2" '$1 == "run" && $3 == way { print $field }' "$3" | sort -n |
    awk '{ v[NR] = $1 } END { printf "%s %s %d", v[1], NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, NR }'
}

encode_ours() { run_windows "$bench_exe" "$codec" "$(windows_path "$1")" "$(windows_path "$out/ours.$codec")" >/dev/null; }
encode_reference() {
  local example=$deps/bin/flac_encode_example.exe
  [ "$codec" = opus ] && example=$deps/bin/opusenc_example.exe
  run_windows "$example" "$(windows_path "$1")" "$(windows_path "$out/reference.$codec")" >/dev/null
}

# Prints "run RUN WAY cpu SECONDS wall SECONDS" for one encode.  The machine
# is shared, so the processor time of the encoding process (user and system)
# is the figure compared; the wall time is shown beside it.
timed_run() {
  local run=$1 way=$2 wav=$3 user system wall
  local TIMEFORMAT='%U %S %R'
  { time "encode_$way" "$wav"; } 2>"$out/time"
  read -r user system wall <"$out/time"
  awk -v r="$run" -v w="$way" -v u="$user" -v s="$system" -v t="$wall" \
    'BEGIN { printf "run %d %s cpu %.3f wall %.3f\n", r, w, u + s, t }'
}

speed() {
  local wav10=$bench/test-10.wav results=$out/results
  : >"$results"
  for run in $(seq 1 "$runs"); do
    timed_run "$run" ours "$wav10" | tee -a "$results"
    timed_run "$run" reference "$wav10" | tee -a "$results"
  done
  echo "sizes: ours $(stat -c %s "$out/ours.$codec") reference $(stat -c %s "$out/reference.$codec") bytes"
  local way best median count wall_best wall_median
  for way in ours reference; do
    read -r best median count <<<"$(best_and_median $way 5 "$results")"
    read -r wall_best wall_median _ <<<"$(best_and_median $way 7 "$results")"
    printf "%-9s cpu best %7.3f s median %7.3f s   wall best %7.3f s median %7.3f s   (%d runs, 10 minutes of audio)\n" \
      "$way" "$best" "$median" "$wall_best" "$wall_median" "$count"
    eval "best_$way=$best median_$way=$median"
  done
  awk -v c="$codec" -v b="$best_ours" -v m="$median_ours" -v rb="$best_reference" -v rm="$median_reference" 'BEGIN {
    printf "%s ratio ours/reference (cpu): best %.3f   median %.3f   goal at most 1.05: %s\n", c, b / rb, m / rm,
      m / rm <= 1.05 ? "met" : "MISSED"
  }'
}

memory() {
  : >"$out/memory"
  for minutes in 1 79; do
    line=$(run_windows "$bench_exe" "$codec" "$(windows_path "$bench/test-$minutes.wav")" "$(windows_path "$out/memory.$codec")")
    echo "$minutes minutes: $line"
    read -r _ _ _ _ private _ working <<<"$line"
    echo "$minutes $private $working" >>"$out/memory"
  done
  awk -v c="$codec" '
    { private[$1] = $2; working[$1] = $3 }
    END {
      grow_private = (private[79] - private[1]) / 1048576
      grow_working = (working[79] - working[1]) / 1048576
      printf "%s peak private bytes: 1 min %.2f MB, 79 min %.2f MB (growth %.2f MB)\n", c, private[1] / 1048576, private[79] / 1048576, grow_private
      printf "%s peak working set:   1 min %.2f MB, 79 min %.2f MB (growth %.2f MB)\n", c, working[1] / 1048576, working[79] / 1048576, grow_working
      printf "%s goal (growth within 2 MB): %s\n", c, grow_private <= 2 && grow_working <= 2 ? "met" : "MISSED"
    }' "$out/memory"
}

for codec in $codecs; do
  echo "== $codec"
  case $part in
    speed) speed ;;
    memory) memory ;;
    *) speed; echo; memory ;;
  esac
done
