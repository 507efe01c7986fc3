#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs every test:
# the host build (sanitizers) natively, the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_ROOT=$root
"$root/tools/bootstrap.sh"
"$root/tools/build.sh"

source "$root/tools/wine-env.sh"
trap corvale_stop_session EXIT

ctest --test-dir "$root/build/host" --output-on-failure -j2

corvale_start_display
corvale_start_wine
ctest --test-dir "$root/build/win" --output-on-failure
