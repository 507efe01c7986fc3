#!/usr/bin/env bash
# Runs a command with a virtual X display and a warm wineserver for the
# build's private Wine prefix, then stops both.
#   tools/with-wine.sh ctest --test-dir build/win -R common
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
# Tests never ask the real AccurateRip database: a test that wants answers
# points this at a server of its own; the rest find nothing listening.
export CORVALE_ACCURATERIP_SERVER=${CORVALE_ACCURATERIP_SERVER:-127.0.0.1:9}
trap corvale_stop_session EXIT
trap "exit 130" INT TERM
corvale_start_display
corvale_start_wine
"$@"
