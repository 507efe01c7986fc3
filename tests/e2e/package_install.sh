#!/usr/bin/env bash
# Builds the packages with tools/package.sh and installs the setup program as
# an administrator would, silently: the installed program starts from its
# Start menu shortcut's target in the shortcut's working folder, keeps its
# settings there and rips the demo disc to Ogg Vorbis into the user's music
# folder; setup refuses to replace a running program; the setup of a newer
# build (the same sources with a higher version, packaged again) upgrades in
# place and keeps config.ini; the silent uninstaller removes the program
# folder, the shortcut and the Add/Remove Programs entry, keeps the settings
# and leaves the ripped files alone.  The portable zip holds exactly the
# product folder, and unpacked into a folder with a space in its name it
# starts, rips the same and keeps its settings beside itself.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
source_root=$(cd "$(dirname "$0")/../.." && pwd)
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvale'

e2e_script_cleanup() {
  # Whatever the test got to, the prefix is left without the program.
  if [ -n "${install_dir:-}" ] && [ -f "$install_dir/uninstall.exe" ]; then
    timeout 60 wine "$install_dir/uninstall.exe" /S >/dev/null 2>&1 </dev/null
    sleep 2
  fi
  [ -n "${install_dir:-}" ] && rm -rf "$install_dir"
  [ -n "${shortcut:-}" ] && rm -f "$shortcut"
  [ -n "${working_dir:-}" ] && rm -rf "$working_dir"
  [ -n "${newer_sources:-}" ] && rm -rf "$newer_sources"
  for file in "${ripped_files[@]}"; do rm -f "$file"; done
  timeout 60 wine reg delete "$uninstall_key" /f >/dev/null 2>&1
}
ripped_files=()

e2e_begin "$@"

unix_path() { timeout 30 wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }
registry_value() {
  timeout 30 wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -nE "s/^ +$1 +REG_[A-Z_]+ +(.*)$/\\1/p"
}

# Rips the first track of the demo disc with the running program, as set in
# its config.ini, closes it and checks the .ogg file in the output folder
# config.ini names; the file is removed again when the test ends.
rip_first_track() {
  local config=$1 output ripped
  select_first_track
  press_rip_watching_progress 60000
  wait "$watch_pid" || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
  close_corvale
  output=$(tr -d '\r' <"$config" | sed -n 's/^path=//p')
  [ -n "$output" ] || fail "config.ini names no output folder"
  ripped=$(unix_path "${output%\\}")/"Unknown Artist - Track 01.ogg"
  ripped_files+=("$ripped")
  [ -s "$ripped" ] || fail "no $ripped"
  ogginfo "$ripped" >"$root/ogginfo.out" 2>&1 || fail "ogginfo: $(cat "$root/ogginfo.out")"
  echo "ripped $ripped"
}

packages=$root/packages
"$source_root/tools/package.sh" "$packages" >"$root/package.log" 2>&1 ||
  fail "tools/package.sh failed: $(tail -20 "$root/package.log")"
setup=$(ls "$packages"/Corvale-*-setup.exe)
zip=$(ls "$packages"/Corvale-*-portable.zip)
version=$(sed -nE 's/^#define CORVALE_VERSION_TEXT "([0-9.]+)"$/\1/p' "$source_root/res/version.rc")
[ "$(basename "$setup")" = "Corvale-$version-setup.exe" ] || fail "setup is named $(basename "$setup")"

# The zip: one folder holding the program, its DLLs, languages and documents,
# and nothing of the tests.
unzip -q "$zip" -d "$root/portable" || fail "cannot unpack $zip"
portable=$root/portable/Corvale-$version
for file in corvale.exe akrip.dll VelmaronDialogs.dll help.htm tips.htm lang/lang_de.dat lang/lang_fr.dat; do
  [ -f "$portable/$file" ] || fail "the zip lacks $file"
done
strays=$(cd "$root/portable" && find . -type f ! -path "./Corvale-$version/lang/*" |
  grep -vxE "\./Corvale-$version/(corvale\.exe|akrip\.dll|VelmaronDialogs\.dll|help\.htm|tips\.htm)")
[ -z "$strays" ] || fail "the zip holds more than the product: $strays"

timeout 120 wine "$setup" /S </dev/null >"$root/setup.log" 2>&1 || fail "silent setup failed: $(cat "$root/setup.log")"

install_dir=$(unix_path "$(registry_value InstallLocation)")
[ -n "$install_dir" ] && [ -f "$install_dir/corvale.exe" ] || fail "no corvale.exe where setup says it installed"
program_files=$(unix_path 'C:\Program Files')
[ "$install_dir" = "$program_files/Corvale" ] || fail "installed into $install_dir, not Program Files"
[ "$(registry_value DisplayVersion)" = "$version" ] || fail "Add/Remove Programs shows version $(registry_value DisplayVersion)"
[ -n "$(registry_value Publisher)" ] || fail "Add/Remove Programs names no publisher"
[ "$(registry_value EstimatedSize)" != "0x0" ] || fail "Add/Remove Programs shows no size"
for file in akrip.dll VelmaronDialogs.dll help.htm tips.htm lang/lang_de.dat lang/lang_fr.dat uninstall.exe; do
  [ -f "$install_dir/$file" ] || fail "setup did not install $file"
done
for file in e2e_probe.exe wma_stand_in.dll fake_browser.exe; do
  [ -e "$install_dir/$file" ] && fail "setup installed the test file $file"
done

start_menu=$(unix_path "$(timeout 30 wine cmd /c echo %APPDATA% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")
shortcut=$start_menu/Corvale.lnk
[ -f "$shortcut" ] || fail "no Start menu shortcut in $start_menu"
timeout 60 wine "$test_bin/shortcut_probe.exe" "$(windows_path "$shortcut")" >"$root/shortcut.out" 2>&1 </dev/null ||
  fail "cannot read the shortcut: $(cat "$root/shortcut.out")"
target=$(unix_path "$(sed -n 1p "$root/shortcut.out" | tr -d '\r')")
working_dir=$(unix_path "$(sed -n 2p "$root/shortcut.out" | tr -d '\r')")
[ "$target" = "$install_dir/corvale.exe" ] || fail "the shortcut starts $target"
[ -d "$working_dir" ] || fail "setup did not make the shortcut's working folder $working_dir"
case "$working_dir" in "$install_dir"*) fail "the shortcut works in the program folder" ;; esac

# The program as the shortcut starts it, told only to rip to Ogg Vorbis: the
# output folder is its default, the user's music folder.
bin=$(dirname "$target")
printf 'outputFormat=1\r\n' >"$working_dir/config.ini"
start_corvale "$working_dir"
echo "$(date +%T) the installed program runs; setup again"
timeout 120 wine "$setup" /S </dev/null >>"$root/setup.log" 2>&1 &&
  fail "setup replaced the program while it ran"
[ -f "$install_dir/corvale.exe" ] || fail "a refused setup removed the program"
echo "$(date +%T) setup refused; ripping"
rip_first_track "$working_dir/config.ini"
installed_rip=${ripped_files[-1]}
[ "$(head -c 8 "$working_dir/config.ini")" = "version=" ] || fail "the program did not write its config.ini"
[ -e "$install_dir/config.ini" ] && fail "the program wrote config.ini into the program folder"

# A newer build: the same sources with the next version, packaged from
# scratch.  Kept below the build folder, where the compiler cache knows them.
newer_sources=$source_root/build/package-newer-sources
rm -rf "$newer_sources"
mkdir -p "$newer_sources"
(cd "$source_root" && tar --exclude=./build --exclude=./.git -cf - .) | (cd "$newer_sources" && tar -xf -) ||
  fail "cannot copy the sources"
IFS=. read -r major middle minor build_number <<<"$version"
newer_version=$major.$middle.$minor.$((build_number + 1))
sed -i -E "s/^#define CORVALE_VERSION_NUMBERS .*/#define CORVALE_VERSION_NUMBERS ${newer_version//./,}/; \
  s/^#define CORVALE_VERSION_TEXT .*/#define CORVALE_VERSION_TEXT \"$newer_version\"/" "$newer_sources/res/version.rc"
echo "$(date +%T) packaging $newer_version"
CORVALE_BUILD=$newer_sources/build "$newer_sources/tools/package.sh" "$root/newer-packages" \
  >"$root/newer-package.log" 2>&1 || fail "packaging the newer build failed: $(tail -20 "$root/newer-package.log")"
newer_setup=$root/newer-packages/Corvale-$newer_version-setup.exe
[ -f "$newer_setup" ] || fail "no $newer_setup"

# The upgrade over the installed program keeps the user's settings.
echo "# kept" >>"$working_dir/config.ini"
timeout 120 wine "$newer_setup" /S </dev/null >>"$root/setup.log" 2>&1 || fail "the newer setup failed"
grep -q '^# kept' "$working_dir/config.ini" || fail "the upgrade lost config.ini"
[ "$(registry_value DisplayVersion)" = "$newer_version" ] ||
  fail "after the upgrade Add/Remove Programs shows version $(registry_value DisplayVersion)"
[ "$(unix_path "$(registry_value InstallLocation)")" = "$install_dir" ] || fail "the upgrade went elsewhere"
cmp -s "$install_dir/corvale.exe" "$newer_sources/build/package-build/product/corvale.exe" ||
  fail "the upgrade did not replace corvale.exe"
echo "$(date +%T) upgraded to $newer_version"

# The user's own files and a leftover intermediate WAV of the program.
echo "music" >"$working_dir/Track 01.ogg"
# The program made its temporary folder (Wine keeps the case it was made with).
temp_dir=$(find "$working_dir" -maxdepth 1 -type d -iname temp)
[ -n "$temp_dir" ] || fail "the program made no temp folder in its working folder"
echo "partial" >"$temp_dir/corvale.wav"
timeout 60 wine "$install_dir/uninstall.exe" /S </dev/null >"$root/uninstall.log" 2>&1 ||
  fail "silent uninstall failed: $(cat "$root/uninstall.log")"
# The uninstaller runs on from a copy of itself and returns at once: wait
# for what it does last.
for _ in $(seq 1 300); do
  [ -d "$install_dir" ] || [ -f "$shortcut" ] || [ -e "$temp_dir/corvale.wav" ] || break
  sleep 0.1
done
sleep 1
[ -d "$install_dir" ] && fail "the program folder remains: $(ls -R "$install_dir")"
[ -f "$shortcut" ] && fail "the Start menu shortcut remains"
registry_value DisplayName | grep -q . && fail "the Add/Remove Programs entry remains"
[ -f "$working_dir/Track 01.ogg" ] || fail "uninstall removed the user's file"
[ -s "$installed_rip" ] || fail "uninstall removed the ripped $installed_rip"
# Out of the way of the next rip, which would otherwise ask about it.
rm -f "$installed_rip"
[ -f "$working_dir/config.ini" ] || fail "a silent uninstall removed the settings"
[ -e "$temp_dir/corvale.wav" ] && fail "uninstall left the program's intermediate WAV"
install_dir=""

# The portable program on a stick whose folder has a space in its name: it
# keeps its settings beside itself and rips the same.
echo "$(date +%T) the portable program"
stick="$root/USB stick"
unzip -q "$zip" -d "$stick" || fail "cannot unpack $zip into \"$stick\""
bin=$stick/Corvale-$version
printf 'outputFormat=1\r\n' >"$bin/config.ini"
start_corvale "$bin"
rip_first_track "$bin/config.ini"
[ "$(head -c 8 "$bin/config.ini")" = "version=" ] || fail "the portable program kept no config.ini beside itself"
[ -n "$(find "$bin" -maxdepth 1 -type d -iname temp)" ] || fail "the portable program made no temp folder beside itself"
echo "PASS: package_install"
