#!/usr/bin/env bash
# Help > About through corvale.exe: the box opens over the main window with
# its picture and its page (product, version, system and memory), is kept as
# a screenshot, and closes with OK.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   about_box.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

about_command=1079
about_picture=7014
about_viewer=7101
program_key='HKLM\Software\VELMARON\Corvale'

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

e2e_script_cleanup() { timeout 30 wine reg delete "$program_key" /v home /f >/dev/null 2>&1; }
e2e_begin "$@"

# The picture beside the program's folder name, as an installation has it: a
# 64 by 16 pixel, 24-bit bitmap in the window colour's neighbours.
mkdir -p "$work/corvale"
python3 - "$work/corvale/about.bmp" <<'PY'
import struct, sys
width, height = 64, 16
row = bytes([0x90, 0x40, 0x20] * width)
pixels = row * height
header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(sys.argv[1], 'wb').write(header + info + pixels)
PY
timeout 30 wine reg add "$program_key" /v home /t REG_SZ /d 'http://www.example.com/%LANG%/' /f >/dev/null 2>&1 ||
  fail "could not write the home address"

echo "== start"
start_corvale "$work"

echo "== Help > About"
probe command $about_command || fail "could not send Help > About"
probe wait-rect About $about_picture 20000 || fail "the About box did not open"
[ "$answer" != "0 0 0 0" ] || fail "the About box has no picture control"
probe wait-rect About $about_viewer 1000 || fail "the About box lost its page area"
# Wine has no browser engine here: the page arrives as rich text, with the
# system texts that are filled in once the box is on screen.
page=""
for _ in $(seq 1 50); do
  probe text About $about_viewer && page=$answer
  case $page in *"Free memory:"*%*) break ;; esac
  sleep 0.1
done
case $page in
  *Corvale*"version: "*"Operating system:"*"Windows "*"(build: "*"Memory:"*" MB"*"Free memory:"*%*"Home"*) ;;
  *) fail "the page reads \"$page\"" ;;
esac
sleep 1
shot=$artefacts/about_box.png
timeout 30 import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

echo "== OK closes it"
probe answer-box - 5000 || fail "could not press OK in the About box"
[ "$answer" = "About" ] || fail "pressed OK in \"$answer\", not in the About box"
gone=""
for _ in $(seq 1 100); do
  probe wait-rect About $about_picture 0 >/dev/null 2>&1 || { gone=1; break; }
  sleep 0.1
done
[ -n "$gone" ] || fail "the About box is still open"

close_corvale
echo "PASS"
