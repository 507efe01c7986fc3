#!/usr/bin/env bash
# Names that Windows path handling would rewrite, driven through corvale.exe:
# the output folder holds "abc.wav" and "abc.wav." (made on the Unix side,
# where the final dot stays).  Deleting "abc.wav." must take that file and
# never "abc.wav".
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   rewritten_names.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
file_list=1020
file_delete=218

e2e_begin "$@"
mkdir -p "$root/trash"
# Deleted files go to the recycle bin, which Wine keeps here.
export XDG_DATA_HOME=$root/trash

fail() {
  echo "FAIL: $*" >&2
  timeout 30 import -window root "$artefacts/rewritten_names_failure.png" 2>/dev/null
  [ -s "$root/corvale.log" ] && { echo "--- corvale.exe output:" >&2; cat "$root/corvale.log" >&2; }
  exit 1
}

eventually() {
  for _ in $(seq 1 100); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

printf plain >"$out/abc.wav"
printf dot >"$out/abc.wav."

echo "== starting corvale.exe with the output folder $out"
printf 'path=%s\\\r\n' "$(windows_path "$out")" >"$work/config.ini"
start_corvale "$work"
eventually 'probe item-count '$file_list' && [ "$answer" = 3 ]' || fail "the folder lists $answer entries, wanted 3"

echo "== selecting \"abc.wav.\" (rows: \"..\", \"abc.wav\", \"abc.wav.\")"
probe header-rect $file_list || fail "no header on the file list"
read -r left top _ bottom <<<"$answer"
# Listed as the file system gives them: a click on "Filename" sorts by name.
click $((left + 60)) $(((top + bottom) / 2))
sleep 1
click $((left + 40)) $((bottom + 6))
timeout 10 xdotool key --repeat 2 Down || fail "xdotool could not press Down"
eventually 'probe selection '$file_list' && [ "$answer" = "1 2" ]' || fail "selection is \"$answer\""
timeout 30 import -window root "$artefacts/rewritten_names.png" || fail "no screenshot"
echo "screenshot: $artefacts/rewritten_names.png"

echo "== deleting it"
probe command $file_delete || fail "could not delete"
if probe answer-box - 5000; then echo "answered the box \"$answer\""; fi
# Deleted by its short name, or refused with a word where it has none.
eventually '[ ! -e "$out/abc.wav." ]' || echo "\"abc.wav.\" was refused, not deleted"
[ "$(cat "$out/abc.wav" 2>/dev/null)" = plain ] || fail "\"abc.wav\" was taken for \"abc.wav.\": $(ls -A "$out")"

echo "== closing"
close_corvale
echo "PASS"
