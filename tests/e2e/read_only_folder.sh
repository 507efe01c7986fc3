#!/usr/bin/env bash
# The program started in a folder where it may make no file (Program Files
# for a standard user, a write-protected stick): a copy of the product whose
# folders take no file for the program, started in that very folder.  The
# run moves to "Corvale" in the user's application data, makes it when
# missing and keeps config.ini, temp\ and the help indexes there; an Ogg
# Vorbis rip (through an intermediate WAV in temp\) works, and nothing is
# written into the program's folder.
# Root may write anywhere, so the program and the wineserver, which makes the
# files a Windows program asks for, run without CAP_DAC_OVERRIDE.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   read_only_folder.sh PRODUCT_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

e2e_script_cleanup() {
  if [ -n "${server_restricted:-}" ]; then
    wineserver -k 2>/dev/null
    wineserver -p 2>/dev/null
  fi
  [ -n "${program:-}" ] && chmod -R u+w "$program"
  [ -n "${user_folder:-}" ] && rm -rf "$user_folder"
  [ -n "${kept_user_folder:-}" ] && mv "$kept_user_folder" "$user_folder"
}

e2e_begin "$@"

command -v setpriv >/dev/null || fail "setpriv (util-linux) is needed to drop root's override of file permissions"
corvale_runner=(setpriv --bounding-set=-dac_override --inh-caps=-dac_override)
if "${corvale_runner[@]}" sh -c "mkdir -p '$root/ro' && chmod 555 '$root/ro' && touch '$root/ro/x'" 2>/dev/null; then
  fail "a folder without write permission took a file: the permission check cannot be tested here"
fi

app_data=$(timeout 30 wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')
user_folder=$(timeout 30 wine winepath -u "$app_data\\Corvale" </dev/null 2>/dev/null | tr -d '\r')
[ -n "$user_folder" ] || fail "cannot name the user's application data folder"
user_folder=${user_folder%/}
# An earlier installation's settings are put back afterwards.
if [ -e "$user_folder" ]; then
  kept_user_folder=$root/kept-user-folder
  mv "$user_folder" "$kept_user_folder" || fail "cannot set $user_folder aside"
fi

# The prefix's files belong to root, who keeps the owner's rights to them.
wineserver -k 2>/dev/null
server_restricted=1
"${corvale_runner[@]}" wineserver -p 2>/dev/null || fail "cannot start the wineserver without CAP_DAC_OVERRIDE"

program=$root/program
cp -r "$bin" "$program" || fail "cannot copy the product"
find "$program" -name '*.idx' -delete
bin=$program
chmod -R a-w "$program"
before=$(cd "$program" && find . | sort)

echo "== first start: no folder of the user's yet"
start_corvale "$program"
close_corvale
[ -d "$user_folder" ] || fail "the run did not make $user_folder"
[ -f "$user_folder/config.ini" ] || fail "no config.ini in $user_folder: $(ls -A "$user_folder")"
[ -n "$(find "$user_folder" -maxdepth 1 -type d -iname temp)" ] || fail "no temp folder in $user_folder"

echo "== second start: a tip at start-up and a rip to Ogg Vorbis"
printf 'path=%s\\\r\noutputFormat=1\r\ntips=8\r\nlasttip=0\r\n' "$(windows_path "$out")" >"$user_folder/config.ini"
start_corvale "$program"
for _ in $(seq 1 100); do
  [ -f "$user_folder/tips.idx" ] && break
  sleep 0.1
done
[ -f "$user_folder/tips.idx" ] || fail "the tips' index was not kept in $user_folder: $(ls -A "$user_folder")"
close_corvale

printf 'path=%s\\\r\noutputFormat=1\r\ntips=0\r\n' "$(windows_path "$out")" >"$user_folder/config.ini"
start_corvale "$program"
select_first_track
press_rip_watching_progress 60000
wait "$watch_pid" || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
close_corvale
ripped=$out/"Unknown Artist - Track 01.ogg"
[ -s "$ripped" ] || fail "no $ripped: $(ls -A "$out")"
ogginfo "$ripped" >"$root/ogginfo.out" 2>&1 || fail "ogginfo: $(cat "$root/ogginfo.out")"
left_over=$(find "$user_folder" -iname '*.wav')
[ -z "$left_over" ] || fail "intermediate WAVs were left: $left_over"
grep -q '^outputFormat=1' "$user_folder/config.ini" || fail "the settings were not kept: $(cat "$user_folder/config.ini")"

after=$(cd "$program" && find . | sort)
[ "$before" = "$after" ] || fail "the program's folder changed: $(diff <(echo "$before") <(echo "$after"))"
echo "PASS: read_only_folder"
