#!/usr/bin/env bash
# A web link in the help window opens in the browser chosen in the settings:
# the stand-in browser of the launcher tests is started with the address,
# whatever browser the system would pick by itself.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   help_web_link.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

track_list=1044
viewer=1000
help_title="Help"
address="http://example.com/guide.htm"

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
documents=$(cd "$(dirname "$0")/help_documents" && pwd)

e2e_begin "$@"

# A copy of the program whose help has a web link at the track list's topic.
use_program_copy
cp "$documents"/tips.htm "$program"/
sed "s|<a href=\"#119\">File list topic</a>|<a href=\"$address\">Web guide</a>|" \
  "$documents"/help.htm >"$program"/help.htm
grep -q "$address" "$program"/help.htm || fail "the help document has no web link"

log=$root/browser.log
export CORVALE_FAKE_BROWSER_LOG
CORVALE_FAKE_BROWSER_LOG=$(windows_path "$log")
printf 'path=%s\\\r\ntips=0\r\nbrowser=%s\r\nnewwin=1\r\n' "$(windows_path "$out")" \
  "$(windows_path "$test_bin/fake_browser.exe")" >"$work/config.ini"

echo "== F1 on the track list, then the web link"
start_corvale "$work"
probe header-rect $track_list || fail "no header on the track list"
read -r left _ _ bottom <<<"$answer"
click $((left + 40)) $((bottom + 6))
sleep 0.5
timeout 10 xdotool key F1 || fail "cannot press F1"
probe wait-rect "$help_title" $viewer 15000 || fail "no help window after F1"
# The window lays itself out once it is shown: wait until the viewer stays put.
for _ in $(seq 1 30); do
  settled=$answer
  sleep 0.3
  probe wait-rect "$help_title" $viewer 15000 || fail "the help window went away"
  [ "$answer" = "$settled" ] && break
done
read -r vleft vtop _ _ <<<"$answer"
# Where the link's line lies depends on the page's layout: the first few
# lines are tried.
for line in 0 1 2 3 4 5; do
  click $((vleft + 25)) $((vtop + 10 + 16 * line))
  sleep 0.5
  grep -q '^start|' "$log" 2>/dev/null && break
done
expect_browser_started "$log" "$address" 50
timeout 30 import -window root "$artefacts/help_web_link.png" || fail "no screenshot"
echo "screenshot: $artefacts/help_web_link.png"
close_corvale
echo "PASS"
