#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs every test:
# the host build (sanitizers) natively, the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_ROOT=$root
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
"$root/tools/bootstrap.sh"
# A warning in our own code fails the run (CI runs this script).
CORVALE_WERROR=ON "$root/tools/build.sh"

ctest --test-dir "$CORVALE_BUILD/host" --output-on-failure -j2
"$root/tools/with-wine.sh" ctest --test-dir "$CORVALE_BUILD/win" --output-on-failure
