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

# A long log is cut in the middle where CI shows it: on a failure, the names
# of the failed cases are repeated at the very end.
failed_cases() {
  local log="$1/Testing/Temporary/LastTest.log"
  echo "== failed in $1:"
  [ -f "$log" ] && grep -a -e '^\[  FAILED  \]' -e ': Failure$' -e '^FAIL: ' -A2 "$log" | tail -40
  return 1
}
status=0
ctest --test-dir "$CORVALE_BUILD/host" --output-on-failure -j2 ||
  failed_cases "$CORVALE_BUILD/host" || status=1
"$root/tools/with-wine.sh" ctest --test-dir "$CORVALE_BUILD/win" --output-on-failure ||
  failed_cases "$CORVALE_BUILD/win" || status=1
exit $status
