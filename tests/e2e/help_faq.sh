#!/usr/bin/env bash
# Help > FAQ as a user meets it: the FAQ address installed in the program's
# registry key opens in the browser chosen in the settings.  No browser runs,
# so the browser program (the stand-in of the launcher tests) is started with
# the address as its one quoted argument.  An address of a kind that may not
# be opened starts nothing and tells the user.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   help_faq.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

faq_command=163
program_key='HKLM\Software\VELMARON\Corvale'

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

old_faq=""
e2e_script_cleanup() {
  if [ -n "$old_faq" ]; then
    wine reg add "$program_key" /v faq /d "$old_faq" /f >/dev/null 2>&1
  else
    wine reg delete "$program_key" /v faq /f >/dev/null 2>&1
  fi
}
e2e_begin "$@"

browser=$test_bin/fake_browser.exe
[ -f "$browser" ] || fail "no stand-in browser $browser"
old_faq=$(wine reg query "$program_key" /v faq 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
set_faq() {
  wine reg add "$program_key" /v faq /d "$1" /f >/dev/null 2>&1 || fail "cannot write the FAQ address"
}
log=$root/browser.log
export CORVALE_FAKE_BROWSER_LOG
CORVALE_FAKE_BROWSER_LOG=$(windows_path "$log")
printf 'browser=%s\r\nnewwin=1\r\n' "$(windows_path "$browser")" >"$work/config.ini"

echo "== Help > FAQ opens the installed address"
set_faq 'http://example.com/%LANG%/faq.htm'
start_corvale "$work"
probe command $faq_command || fail "could not send the FAQ command"
expect_browser_started "$log" "http://example.com/faq.htm" 100
shot=$artefacts/help_faq.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"
close_corvale

echo "== an address that is no web page starts nothing"
rm -f "$log"
set_faq 'file:///C:/windows/notepad.exe'
start_corvale "$work"
probe command $faq_command || fail "could not send the FAQ command"
probe answer-box - 10000 || fail "no message for a refused address"
[ "$answer" = "Browser Error" ] || fail "the message box is \"$answer\", wanted \"Browser Error\""
[ ! -e "$log" ] || fail "a refused address started the browser: $(cat "$log")"
close_corvale
echo "PASS"
