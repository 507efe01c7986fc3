#!/usr/bin/env bash
# ctest's emulator for the Windows build: runs one program under Wine.
# The program's output goes through a file: Wine's helper processes (services,
# the desktop window) inherit the standard handles and outlive the program, and
# a pipe held open by them would keep ctest waiting until its time-out.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
wine "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
exit $status
