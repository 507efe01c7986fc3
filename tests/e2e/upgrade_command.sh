#!/usr/bin/env bash
# File > Upgrade through corvale.exe: a downloaded copy waiting as
# "Upgrade.new" is put in place and started with the product's code and
# name; with no upgrade program registered the install error box appears.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   upgrade_command.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

upgrade_command=196
upgrade_key='HKLM\Software\VELMARON\Renewix v2.0'

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

e2e_script_cleanup() { timeout 30 wine reg delete "$upgrade_key" /f >/dev/null 2>&1; }
e2e_begin "$@"

fake=$test_bin/fake_upgrade.exe
[ -f "$fake" ] || fail "no stand-in upgrade program $fake"
tools=$root/tools
mkdir -p "$tools"
cp "$fake" "$tools/Upgrade.exe"
# The downloaded copy is longer, and the stand-in logs its own size.
cp "$fake" "$tools/Upgrade.new"
head -c 512 /dev/zero >>"$tools/Upgrade.new"
new_size=$(stat -c %s "$tools/Upgrade.new")
timeout 30 wine reg add "$upgrade_key" /v path /t REG_SZ /d "$(windows_path "$tools/Upgrade.exe")" /f \
  >/dev/null 2>&1 || fail "could not register the upgrade program"

echo "== start"
start_corvale "$work"

echo "== File > Upgrade with a downloaded copy waiting"
probe command $upgrade_command || fail "could not send File > Upgrade"
for _ in $(seq 1 100); do
  [ -s "$tools/upgrade.log" ] && break
  sleep 0.1
done
line=$(tr -d '\r' <"$tools/upgrade.log" 2>/dev/null)
[ "$line" = "Upgrade.exe RP \"Corvale Rip\"|$new_size" ] || fail "the upgrade program logged \"$line\""
[ -e "$tools/Upgrade.new" ] && fail "the downloaded copy is still waiting"

echo "== File > Upgrade with none registered"
timeout 30 wine reg delete "$upgrade_key" /f >/dev/null 2>&1 || fail "could not remove the registration"
probe command $upgrade_command || fail "could not send File > Upgrade"
probe answer-box - 10000 || fail "no message box"
[ "$answer" = "Install Error" ] || fail "the box is \"$answer\", not the install error"

close_corvale
echo "PASS"
