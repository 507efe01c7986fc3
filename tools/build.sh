#!/usr/bin/env bash
# Configures (once) and builds the Windows build and the host build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$root/build/win/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build/win" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$root/build/win"
if [ "${1:-}" != "--win-only" ]; then
  if [ ! -f "$root/build/host/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$root/build/host" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug \
      -DCORVALE_HOST=ON >/dev/null
  fi
  cmake --build "$root/build/host"
fi
