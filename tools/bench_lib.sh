# Sourced by the benchmarks in tools/: the build they time, one Wine session
# for a whole benchmark, Windows programs run with their output in a file, the
# virtual discs they rip, and the best and median of their figures.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
build=$CORVALE_BUILD
deps=${CORVALE_DEPS:-/opt/corvale-deps}
source "$root/tools/wine-env.sh"

# Builds the Windows targets named, configuring the Windows build first when
# it is not.
bench_build() {
  if [ ! -f "$build/win/CMakeCache.txt" ]; then "$root/tools/build.sh" --win-only; fi
  cmake --build "$build/win" --target "$@"
}

# Wine sees the Unix root as drive Z:.
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

# Paths removed when the benchmark ends, beside $out.
bench_leftovers=()

# Starts the display and the wineserver for the rest of the benchmark, and
# makes $out, a scratch folder; the exit stops both and removes $out and
# whatever the benchmark put in bench_leftovers.
bench_start_wine() {
  out=$(mktemp -d)
  trap 'corvale_stop_session; rm -rf "$out" "${bench_leftovers[@]}"' EXIT
  corvale_start_display
  corvale_start_wine
}

# Makes FOLDER afresh, empty; it is removed when the benchmark ends.
bench_fresh_folder() {
  rm -rf "$1"
  mkdir -p "$1"
  bench_leftovers+=("$1")
}

# The virtual drive of the benchmark, read as fast as its files allow: a pace
# left in the environment (tools/run.sh sets one) would be timed instead.
bench_use_image() {
  export AKRIP_IMAGES
  AKRIP_IMAGES=$(windows_path "$1")
  unset AKRIP_SPEED
}

# Starts the Wine session and runs the Windows benchmark PROGRAM on the
# virtual disc CUE: it is given the disc's name, the Windows path of the
# folder OUTPUT (made afresh, removed at the end) and ARGS.  Prints its output
# and leaves it in $out/results.
bench_rip_disc() {
  local program=$1 cue=$2 output=$3
  shift 3
  bench_fresh_folder "$output"
  bench_start_wine
  bench_use_image "$cue"
  run_windows "$program" "$(basename "$cue" .cue)" "$(windows_path "$output")" "$@" | tee "$out/results"
}

# Writes the virtual disc FOLDER/NAME.cue and .bin of MINUTES minutes (in
# TRACKS tracks, or the generator's count) unless both are there.
bench_write_disc() {
  local folder=$1 name=$2 minutes=$3 tracks=${4:-}
  if [ -f "$folder/$name.cue" ] && [ -f "$folder/$name.bin" ]; then return 0; fi
  echo "Writing the $minutes-minute disc into $folder"
  mkdir -p "$folder"
  python3 "$root/tools/make_demo_disc.py" "$folder" --name "$name" --minutes "$minutes" ${tracks:+--tracks "$tracks"}
}

# Runs a Windows program and leaves what it printed in $out/bench.out and
# $out/bench.err: a file, not a pipe, because Wine's helper processes inherit
# the handles and outlive the program.  When the program fails, both go to
# stderr with its exit status, which is returned.
run_windows_to_file() {
  local status=0
  wine "$@" >"$out/bench.out" 2>"$out/bench.err" </dev/null || status=$?
  if [ "$status" != 0 ]; then
    tr -d '\r' <"$out/bench.out" >&2
    tr -d '\r' <"$out/bench.err" >&2
    echo "$(basename "$1") failed (exit $status)" >&2
  fi
  return "$status"
}

# Runs a Windows program and prints its output, without carriage returns.
run_windows() {
  run_windows_to_file "$@" || return
  tr -d '\r' <"$out/bench.out"
}

# "BEST MEDIAN COUNT" of the figures in field FIELD of the lines
# "run N WAY ..." of FILE; BEST is the least, or with `highest` the greatest.
best_and_median() {
  local way=$1 field=$2 file=$3 order=${4:-}
  awk -v way="$way" -v field="$field" '$1 == "run" && $3 == way { print $field }' "$file" | sort -n |
    awk -v order="$order" '
      { v[NR] = $1 }
      END {
        median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.17g %.17g %d", order == "highest" ? v[NR] : v[1], median, NR
      }'
}

# printf FORMAT ARGS... (up to eight) with awk's numbers, the doubles the
# figures were computed in: the shell's printf reads them as long doubles and
# can round a last digit the other way.
printf_figures() {
  local format=$1
  shift
  awk -v format="$format" \
    'BEGIN { printf format, ARGV[1], ARGV[2], ARGV[3], ARGV[4], ARGV[5], ARGV[6], ARGV[7], ARGV[8] }' "$@"
}

# The encoder benchmarks' test WAVs of 1, 10 and 79 minutes (about 950 MB),
# written once by ogg_bench.
encoder_wavs=$build/bench/ogg

bench_write_encoder_wavs() {
  local minutes wav
  mkdir -p "$encoder_wavs"
  for minutes in 1 10 79; do
    wav=$encoder_wavs/test-$minutes.wav
    if [ ! -f "$wav" ]; then
      echo "Writing a $minutes-minute WAV into $encoder_wavs"
      run_windows "$build/win/bin/ogg_bench.exe" write-wav "$(windows_path "$wav.part")" "$minutes"
      mv "$wav.part" "$wav"
    fi
  done
}

# Prints "run RUN WAY cpu SECONDS wall SECONDS" for one encode by the
# benchmark's function encode_WAY.  The machine is shared, so the processor
# time of the encoding process (user and system) is the figure compared; the
# wall time is shown beside it.
timed_encode() {
  local run=$1 way=$2 wav=$3 user system wall
  local TIMEFORMAT='%U %S %R'
  { time "encode_$way" "$wav"; } 2>"$out/time"
  read -r user system wall <"$out/time"
  awk -v r="$run" -v w="$way" -v u="$user" -v s="$system" -v t="$wall" \
    'BEGIN { printf "run %d %s cpu %.3f wall %.3f\n", r, w, u + s, t }'
}

# Times $runs encodes of WAV by ours and by the reference, alternating,
# printing each line and writing it into RESULTS.
time_ours_and_reference() {
  local results=$1 wav=$2 run
  : >"$results"
  for run in $(seq 1 "$runs"); do
    timed_encode "$run" ours "$wav" | tee -a "$results"
    timed_encode "$run" reference "$wav" | tee -a "$results"
  done
}

# Prints each WAY's best and median processor and wall time among the
# timed_encode lines of RESULTS, and sets best_WAY and median_WAY to its
# processor times.
print_encode_summary() {
  local results=$1 way best median count wall_best wall_median
  shift
  for way in "$@"; do
    read -r best median count <<<"$(best_and_median "$way" 5 "$results")"
    read -r wall_best wall_median _ <<<"$(best_and_median "$way" 7 "$results")"
    printf_figures "%-9s cpu best %7.3f s median %7.3f s   wall best %7.3f s median %7.3f s   (%d runs, 10 minutes of audio)\n" \
      "$way" "$best" "$median" "$wall_best" "$wall_median" "$count"
    printf -v "best_$way" %s "$best"
    printf -v "median_$way" %s "$median"
  done
}

# The peak memory of the benchmark's function encode_for_memory WAV on
# the 1- and the 79-minute WAV, printed with LABEL before each summary line;
# the goal is growth within 2 MB and, when CEILING_MB is given, both peaks
# under it.
print_encode_memory() {
  local label=$1 ceiling=${2:-} minutes line private working
  : >"$out/memory"
  for minutes in 1 79; do
    line=$(encode_for_memory "$encoder_wavs/test-$minutes.wav")
    echo "$minutes minutes: $line"
    read -r _ _ _ _ private _ working <<<"$line"
    echo "$minutes $private $working" >>"$out/memory"
  done
  awk -v label="$label" -v ceiling="$ceiling" '
    { private[$1] = $2; working[$1] = $3 }
    END {
      grow_private = (private[79] - private[1]) / 1048576
      grow_working = (working[79] - working[1]) / 1048576
      printf "%speak private bytes: 1 min %.2f MB, 79 min %.2f MB (growth %.2f MB)\n", label, private[1] / 1048576, private[79] / 1048576, grow_private
      printf "%speak working set:   1 min %.2f MB, 79 min %.2f MB (growth %.2f MB)\n", label, working[1] / 1048576, working[79] / 1048576, grow_working
      goal = "growth within 2 MB"
      ok = grow_private <= 2 && grow_working <= 2
      if (ceiling != "") {
        goal = goal ", under " ceiling " MB"
        ok = ok && private[79] < ceiling * 1048576 && working[79] < ceiling * 1048576
      }
      printf "%sgoal (%s): %s\n", label, goal, ok ? "met" : "MISSED"
    }' "$out/memory"
}
