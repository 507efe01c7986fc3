#!/usr/bin/env bash
# Configures (once) and builds the Windows build and the host build.
# CORVALE_WERROR=ON or OFF (as tools/test.sh sets it) turns warnings into
# errors in our own code, or back, configuring again when it changes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVALE_BUILD:-$root/build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
werror=()
[ -n "${CORVALE_WERROR:-}" ] && werror=(-DCORVALE_WERROR="$CORVALE_WERROR")

# Configures the build folder unless it is configured with the same setting.
configure() {
  local dir=$1
  shift
  if [ -f "$dir/CMakeCache.txt" ]; then
    [ -z "${CORVALE_WERROR:-}" ] && return 0
    grep -qx "CORVALE_WERROR:BOOL=$CORVALE_WERROR" "$dir/CMakeCache.txt" && return 0
  fi
  cmake -S "$root" -B "$dir" "${generator[@]}" "$@" "${werror[@]}" >/dev/null
}

configure "$build/win" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
cmake --build "$build/win"
if [ "${1:-}" != "--win-only" ]; then
  configure "$build/host" -DCMAKE_BUILD_TYPE=Debug -DCORVALE_HOST=ON
  cmake --build "$build/host"
fi
