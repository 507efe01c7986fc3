#!/usr/bin/env bash
# Whole-disc rips on encoder threads against one reference encoder, all under
# the same Wine in one run: a virtual disc of 8 tracks of 60 s, read unpaced,
# ripped through the rip worker to Ogg Vorbis with encoderthreads=2 and with
# encoderthreads=1, each timed from the start of the job to its end (the time
# a user waits after pressing RIP; the harness's own start and its reading of
# the disc's contents are not part of it); and the encoder example of the
# libvorbis source package (tools/bootstrap.sh builds it with the same
# compiler, flags and quality) encoding the same 8 minutes of audio as one
# WAV, which uses one core, timed as a whole process, its start included.
# Prints the wall time of every run
# and the ratios rip / reference: goal at most 0.55 with two threads on two
# cores (the reading hides behind the encoding and both cores encode), at
# most 1.1 with one.  The same for FLAC against libFLAC's encoder example when
# the bootstrap has built it.  The machine must be otherwise idle for the
# figures to mean anything: the load average before the runs is printed.
# The disc and its WAV (about 170 MB) are written once into
# $CORVALE_BUILD/bench/threads.
# Usage: tools/bench_encoder_threads.sh [RUNS]  (1)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"
runs=${1:-1}
ogg_reference=$deps/bin/encoder_example.exe
flac_reference=$deps/bin/flac_encode_example.exe

if [ ! -f "$ogg_reference" ]; then "$root/tools/bootstrap.sh"; fi
bench_build encoder_threads_bench akrip
bench_exe=$build/win/bin/encoder_threads_bench.exe

bench=$build/bench/threads
name=threads-8x60
mkdir -p "$bench"
if [ ! -f "$bench/$name.wav" ]; then
  echo "Writing the disc of 8 tracks of 60 s and its WAV into $bench"
  python3 "$root/tools/make_demo_disc.py" "$bench" --name "$name" --minutes 8 --tracks 8
  # The disc's audio as one WAV: the reference encodes the same samples.
  python3 - "$bench/$name.bin" "$bench/$name.wav.part" <<'PYTHON'
import os, struct, sys
size = os.path.getsize(sys.argv[1])
with open(sys.argv[1], "rb") as audio, open(sys.argv[2], "wb") as wav:
    wav.write(b"RIFF" + struct.pack("<I", size + 36) + b"WAVEfmt " +
              struct.pack("<IHHIIHH", 16, 1, 2, 44100, 176400, 4, 16) + b"data" + struct.pack("<I", size))
    while True:
        block = audio.read(1 << 20)
        if not block:
            break
        wav.write(block)
PYTHON
  mv "$bench/$name.wav.part" "$bench/$name.wav"
fi

bench_start_wine
bench_use_image "$bench/$name.cue"

# Prints "wall W cpu C" seconds of one rip or reference encode: the wall
# time is the figure compared, the processor time of the whole process (user
# and system, Wine's helpers included) tells how many cores worked.
rip() { run_windows_to_file "$bench_exe" "$name" "$(windows_path "$out/work")" "$1" "$2" 1; }
reference() {
  if [ "$1" = ogg ]; then
    wine "$ogg_reference" <"$bench/$name.wav" >"$out/reference.ogg" 2>/dev/null
  else
    wine "$flac_reference" "$(windows_path "$bench/$name.wav")" "$(windows_path "$out/reference.flac")" \
      >/dev/null 2>&1 </dev/null
  fi
}
timed() {
  local TIMEFORMAT='%R %U %S' wall user system
  { time "$@"; } 2>"$out/time" || return 1
  read -r wall user system <"$out/time"
  awk -v w="$wall" -v u="$user" -v s="$system" 'BEGIN { printf "wall %.3f cpu %.3f", w, u + s }'
}

formats=ogg
[ -f "$flac_reference" ] && formats="ogg flac"
echo "load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
for format in $formats; do
  : >"$out/results"
  for run in $(seq 1 "$runs"); do
    for way in 2 1 reference; do
      if [ "$way" = reference ]; then
        figures=$(timed reference "$format")
      else
        figures=$(timed rip "$format" "$way")
        # The job's own time replaces the process's.
        figures="wall $(awk '$1 == "run" { printf "%.3f", $7 }' "$out/bench.out") ${figures#wall * }"
      fi
      echo "run $run $format $way $figures" | tee -a "$out/results"
    done
  done
  awk -v f="$format" '
    $1 == "run" { s = $6 + 0; if (!($4 in best) || s < best[$4]) best[$4] = s }
    END {
      two = best["2"] / best["reference"]; one = best["1"] / best["reference"]
      printf "%s: best wall time: rip with 2 threads %.3f s, with 1 thread %.3f s, reference on one core %.3f s (8 minutes of audio)\n",
        f, best["2"], best["1"], best["reference"]
      printf "%s: ratio 2 threads / reference %.3f (goal at most 0.55: %s)\n", f, two, two <= 0.55 ? "met" : "MISSED"
      printf "%s: ratio 1 thread / reference %.3f (goal at most 1.1: %s)\n", f, one, one <= 1.1 ? "met" : "MISSED"
    }' "$out/results"
done
