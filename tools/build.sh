#!/usr/bin/env bash
# Configures (once) and builds the Windows build and the host build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVALE_BUILD:-$root/build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$build/win/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build/win" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build/win"
if [ "${1:-}" != "--win-only" ]; then
  if [ ! -f "$build/host/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build/host" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug \
      -DCORVALE_HOST=ON >/dev/null
  fi
  cmake --build "$build/host"
fi
