#!/usr/bin/env bash
# Builds the file list benchmark and runs it under Wine: lists a folder of
# 10,000 files (or the count given), sorts by every column both ways and
# scrolls, printing the times, with a bare walk of the folder as the
# reference (the ratio) and whether the fill stays under 200 ms.
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bench_build bench_file_list
bench_start_wine
run_windows "$build/win/bin/bench_file_list.exe" "${1:-10000}"
