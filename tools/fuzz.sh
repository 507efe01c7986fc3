#!/usr/bin/env bash
# Builds every libFuzzer harness in tests/fuzz/ (tests/fuzz/CMakeLists.txt
# says what a harness is) and runs each for a while.
#   tools/fuzz.sh [seconds per harness, default 60]
# The harnesses are built by a host build made with clang in
# $CORVALE_BUILD/fuzz (default build/fuzz), where their corpora (kept between
# runs) and crash files go too. A harness that does not build or that finds a
# fault does not stop the others; the failures are listed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${CORVALE_BUILD:-$root/build}/fuzz
build=$out/build

if ! command -v clang++-14 >/dev/null || ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  apt-get update -qq
  apt-get install -y -qq clang-14 libclang-rt-14-dev >/dev/null
fi

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
mkdir -p "$out"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DCORVALE_HOST=ON -DCORVALE_FUZZ=ON \
    -DCORVALE_WERROR=OFF -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
fi
echo "== building the harnesses (log: $out/build.log)"
keep_going=(-k 0)
[ ${#generator[@]} -eq 0 ] && keep_going=(-k)
cmake --build "$build" --target fuzz_harnesses -- "${keep_going[@]}" >"$out/build.log" 2>&1 || true

failed=()
shopt -s nullglob
for harness in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$harness" .cpp)
  binary=$build/tests/fuzz/$name
  if ! cmake --build "$build" --target "$name" >>"$out/build.log" 2>&1 || [ ! -x "$binary" ]; then
    echo "!! $name did not build: see $out/build.log"
    failed+=("$name (build)")
    continue
  fi
  seeds=()
  while IFS= read -r seed; do [ -n "$seed" ] && seeds+=("$seed"); done <"$build/tests/fuzz/$name.seeds"
  mkdir -p "$out/$name.corpus" "$out/$name.crashes"
  echo "== $name: running for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -max_len=70000 -print_final_stats=1 \
      -artifact_prefix="$out/$name.crashes/" "$out/$name.corpus" \
      "${seeds[@]}" 2>"$out/$name.log"; then
    echo "!! $name found a fault: see $out/$name.log and $out/$name.crashes/"
    tail -40 "$out/$name.log"
    failed+=("$name (fault)")
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/$name.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "== failed: ${failed[*]}"
  exit 1
fi
echo "== every harness ran without a fault"
