#!/usr/bin/env bash
# Rips the first track of the demo disc with titles from a CDDB server on
# 127.0.0.1 (set as the HTTP proxy in the shared key) and "tags=1", once each
# to .flac, .opus and .ogg, and reads the tags back with Debian's metaflac,
# opusinfo and vorbiscomment; then to .mp3 through LAME, whose ID3v2.3 tag
# (written once the encoder has ended) and ID3v1 copy Debian's mutagen reads;
# then once more to .ogg with "tags=0", whose file must carry its ENCODER
# comment alone.  Needs DISPLAY and WINEPREFIX (run it inside
# tools/with-wine.sh).
#   rip_demo_disc_tags.sh BIN_DIR DEMO_CUE ARTEFACT_DIR LAME_EXE
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
server_pid=""

# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
e2e_script_cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; }
lame_exe=${4:-}
e2e_begin "$1" "$2" "$3"
[ -f "$lame_exe" ] || fail "no encoder $lame_exe (tools/bootstrap.sh builds it)"
# Debian's mutagen is a package of Debian's own Python.
/usr/bin/python3 -c 'import mutagen' 2>/dev/null || fail "no python3-mutagen (tools/bootstrap.sh installs it)"

echo "== CDDB server on 127.0.0.1"
python3 "$here/cddb_proxy_server.py" "$root/port" "$root/requests.log" 460 &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$root/port" ] && break; sleep 0.05; done
[ -s "$root/port" ] || fail "the CDDB server did not start"
shared_proxy_set "$root" 127.0.0.1 "$(cat "$root/port")" || fail "could not set the proxy"

# Why the lookups found nothing, as the program told the debugger output, and
# what the server was asked: for the message of a run whose titles stay unknown.
lookup_report() {
  local said
  said=$(grep -a -o 'Corvale: the [A-Za-z]* lookup [^"\\]*' "$root/corvale.log")
  printf '\n%s\nthe server was asked:\n%s' "${said:-no lookup said why}" \
    "$(cat "$root/requests.log" 2>/dev/null)"
}

# Starts the program with the format and tags setting, waits for the disc's
# titles, rips track 1 and closes.  Leaves the file's path in $ripped.
#   rip_first_track FORMAT_NUMBER EXTENSION TAGS
rip_first_track() {
  local format=$1 extension=$2 tags=$3
  echo "== .$extension with tags=$tags"
  rm -f "$out"/*
  printf 'path=%s\\\r\noutputFormat=%s\r\ntags=%s\r\n' "$(windows_path "$out")" "$format" "$tags" >"$work/config.ini"
  printf '%s\r\n' "mp3encoder=$(windows_path "$lame_exe")" 'mp3params="%IN%" "%OUT%"' >>"$work/config.ini"
  # The program's debugger output joins its log, where lookup_report finds it.
  WINEDEBUG=-all,warn+debugstr start_corvale "$work"
  local wanted_title="Corvale - Demo Album (Corvale Players)"
  for _ in $(seq 1 100); do
    probe wait-main 1000 && [ "$answer" = "$wanted_title" ] && break
    sleep 0.2
  done
  [ "$answer" = "$wanted_title" ] || fail "window title \"$answer\", wanted \"$wanted_title\"$(lookup_report)"
  select_first_track
  press_rip_watching_progress 60000
  wait "$watch_pid" || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
  # The MP3 encoder runs on after the rip; its file is tagged when it ends.
  for _ in $(seq 1 300); do
    [ -z "$(ls -A "$work/temp" 2>/dev/null)" ] && break
    sleep 0.1
  done
  [ -z "$(ls -A "$work/temp" 2>/dev/null)" ] || fail "the encoder's WAV is still in temp after 30 s"
  close_corvale
  ripped=$out/"Corvale Players - Opening Chord.$extension"
  [ -s "$ripped" ] || fail "no \"$(basename "$ripped")\" in the output folder: $(ls "$out")"
}

# The demo disc's record has a year and a genre; track 1 of its 5 (the last
# is data).
expected_tags() {
  printf '%s\n' "TITLE=Opening Chord" "ARTIST=Corvale Players" "ALBUM=Demo Album" "TRACKNUMBER=1" \
    "TRACKTOTAL=5" "DATE=2024" "GENRE=Demo Music" "CDDB=$disc_id"
}

# The id the program asked the server for.
read_disc_id() {
  disc_id=$(sed -n 's/^GET .*cmd=cddb+read+misc+\([0-9a-fA-F]\{8\}\).*/\1/p' "$root/requests.log" | head -n 1)
  [ -n "$disc_id" ] || fail "no disc id in the server's log"
}

compare_tags() {
  local reader=$1 got=$2
  if [ "$got" != "$(expected_tags)" ]; then
    printf '%s gives:\n%s\nwanted:\n%s\n' "$reader" "$got" "$(expected_tags)" >&2
    fail "$reader reads other tags"
  fi
  echo "$reader reads the $(expected_tags | wc -l) tags"
}

rip_first_track 4 flac 1
read_disc_id
flac -t -s "$ripped" || fail "flac -t found errors"
compare_tags metaflac "$(metaflac --export-tags-to=- "$ripped")"

rip_first_track 5 opus 1
opusinfo "$ripped" >"$root/opusinfo.out" 2>&1 || { cat "$root/opusinfo.out" >&2; fail "opusinfo found errors"; }
grep -qi warning "$root/opusinfo.out" && { cat "$root/opusinfo.out" >&2; fail "opusinfo warns"; }
# opusinfo lists the comments indented under "User comments section follows...".
compare_tags opusinfo "$(sed -n '/User comments section follows/,/^[^\t ]/{s/^\t//p}' "$root/opusinfo.out" |
  grep -v '^ENCODER=')"

rip_first_track 1 ogg 1
got=$(vorbiscomment -l "$ripped") || fail "vorbiscomment cannot read it"
[ "$(head -n 1 <<<"$got")" = "ENCODER=encoder_example" ] || fail "the first comment is \"$(head -n 1 <<<"$got")\""
compare_tags vorbiscomment "$(tail -n +2 <<<"$got")"

rip_first_track 3 mp3 1
# mutagen as the file is, without turning ID3v2.3's frames into v2.4's.
id3_tags=$(/usr/bin/python3 - "$ripped" <<'PYTHON'
import sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1], translate=False)
if tag.version[:2] != (2, 3):
    sys.exit("ID3v2 version %r, wanted 2.3" % (tag.version,))
with open(sys.argv[1], "rb") as f:
    f.seek(-128, 2)
    v1 = f.read(128)
if v1[:3] != b"TAG" or not v1[3:33].rstrip(b"\0 ").decode("latin-1") == str(tag["TIT2"]):
    sys.exit("no ID3v1 copy of the title")
number, _, total = str(tag["TRCK"]).partition("/")
for name, value in (("TITLE", tag["TIT2"]), ("ARTIST", tag["TPE1"]), ("ALBUM", tag["TALB"]),
                    ("TRACKNUMBER", number), ("TRACKTOTAL", total), ("DATE", tag["TYER"]),
                    ("GENRE", tag["TCON"]), ("CDDB", tag["TXXX:CDDB"])):
    print("%s=%s" % (name, value))
PYTHON
) || fail "mutagen: $id3_tags"
compare_tags mutagen "$id3_tags"
lame --quiet --decode "$ripped" "$root/decoded.wav" || fail "the tagged MP3 does not decode"

rip_first_track 1 ogg 0
got=$(vorbiscomment -l "$ripped") || fail "vorbiscomment cannot read it"
[ "$got" = "ENCODER=encoder_example" ] || fail "with tags=0 the comments are \"$got\""
echo "tags=0: ENCODER alone"

echo "PASS"
