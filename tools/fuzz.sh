#!/usr/bin/env bash
# Builds every libFuzzer harness in tests/fuzz/ and runs each for a while.
#   tools/fuzz.sh [seconds per harness, default 60]
# A harness names the sources it needs (relative to the repository root) on a
# line of its own, and may name folders of sample inputs to start from and
# system libraries to link:
#   // fuzz-sources: app/a.cpp common/b.cpp
#   // fuzz-seeds: tests/app/data/config
#   // fuzz-libs: z
# Binaries, corpora and crash files go to $CORVALE_BUILD/fuzz (default
# build/fuzz); the corpus of each harness is kept between runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${CORVALE_BUILD:-$root/build}/fuzz
cxx=clang++-14

if ! command -v "$cxx" >/dev/null || ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  apt-get update -qq
  apt-get install -y -qq clang-14 libclang-rt-14-dev >/dev/null
fi

mkdir -p "$out"
status=0
shopt -s nullglob
for harness in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$harness" .cpp)
  sources=$(sed -n 's|^// fuzz-sources:||p' "$harness")
  paths=()
  for s in $sources; do paths+=("$root/$s"); done
  libs=()
  for l in $(sed -n 's|^// fuzz-libs:||p' "$harness"); do libs+=("-l$l"); done
  seeds=()
  for d in $(sed -n 's|^// fuzz-seeds:||p' "$harness"); do
    [ -d "$root/$d" ] && seeds+=("$root/$d")
  done
  echo "== $name: building"
  "$cxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "$harness" "${paths[@]}" "${libs[@]}" -o "$out/$name"
  mkdir -p "$out/$name.corpus" "$out/$name.crashes"
  echo "== $name: running for ${seconds}s"
  if ! "$out/$name" -max_total_time="$seconds" -max_len=70000 -print_final_stats=1 \
      -artifact_prefix="$out/$name.crashes/" "$out/$name.corpus" \
      "${seeds[@]}" 2>"$out/$name.log"; then
    echo "!! $name found a fault: see $out/$name.log and $out/$name.crashes/"
    tail -40 "$out/$name.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/$name.log" || true
  fi
done
exit $status
