#!/usr/bin/env bash
# Disc images opened as drives through corvale.exe: a sheet with a missing
# file given on the command line gets its message, owned by the main window,
# and changes nothing; a sheet of one WAVE file per track (each track's INDEX
# 00 at the end of the file before) and a sheet of one FLAC file for the disc
# (named WAVE, as rippers write) are opened with File > Open Disc Image
# (typed into the open-file dialog), shown as "Image: <name>", named by the
# sheet's TITLE and PERFORMER when no CDDB record is found, and ripped whole
# to .wav: every file holds exactly its track's audio.  A sheet of a 24-bit
# WAVE gets its message and changes nothing; File > Close Disc Image takes the
# selected image off the drive list.  The fixtures are written here.
# Needs DISPLAY and WINEPREFIX (run it inside tools/with-wine.sh).
#   open_disc_image.sh BIN_DIR DEMO_CUE ARTEFACT_DIR
set -uo pipefail

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

drive_combo=1040
open_disc_image=40100
close_disc_image=40101
wav_header_bytes=44

e2e_begin "$@"
discs=$root/discs
mkdir -p "$discs"
command -v flac >/dev/null || fail "no flac on the host"

echo "== writing the disc images in $discs"
python3 - "$discs" <<'PY' || fail "could not write the fixtures"
import random, struct, sys, os
folder = sys.argv[1]
SECTOR = 2352

def audio(sectors, seed):
    return random.Random(seed).randbytes(sectors * SECTOR)

def wave(path, data, bits=16):
    channels, rate = 2, 44100
    align = channels * bits // 8
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * align, align, bits)
    header += b"data" + struct.pack("<I", len(data))
    with open(path, "wb") as f:
        f.write(header + data)

def write(name, text):
    with open(os.path.join(folder, name), "w", newline="\r\n") as f:
        f.write(text)

# One file per track; INDEX 00 of tracks 2 and 3 lie at the end of the file before.
for number, sectors in ((1, 100), (2, 90), (3, 80)):
    wave(os.path.join(folder, "%02d.wav" % number), audio(sectors, number))
write("waves.cue", """REM GENRE Test
PERFORMER "Sheet Performer"
TITLE "Sheet Album"
FILE "01.wav" WAVE
  TRACK 01 AUDIO
    TITLE "Alpha"
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    TITLE "Beta"
    INDEX 00 00:00:70
FILE "02.wav" WAVE
    INDEX 01 00:00:00
  TRACK 03 AUDIO
    TITLE "Gamma"
    INDEX 00 00:00:70
FILE "03.wav" WAVE
    INDEX 01 00:00:00
""")

# One FLAC file for the disc: 300 sectors, tracks at 0, 115 (INDEX 00 at 95) and 225.
with open(os.path.join(folder, "disc.raw"), "wb") as f:
    f.write(audio(300, 7))
write("flac disc.cue", """FILE "disc.flac" WAVE
  TRACK 01 AUDIO
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    INDEX 00 00:01:20
    INDEX 01 00:01:40
  TRACK 03 AUDIO
    INDEX 01 00:03:00
""")

write("missing file.cue", """FILE "gone.wav" WAVE
  TRACK 01 AUDIO
    INDEX 01 00:00:00
""")
wave(os.path.join(folder, "deep.wav"), audio(30, 9), bits=24)
write("deep.cue", """FILE "deep.wav" WAVE
  TRACK 01 AUDIO
    INDEX 01 00:00:00
""")
PY
flac -s --force-raw-format --endian=little --sign=signed --channels=2 --bps=16 --sample-rate=44100 \
  -o "$discs/disc.flac" "$discs/disc.raw" || fail "flac could not encode the disc"

# The combo box's entries and selected row, on one line.
drive_box() {
  probe combo-texts $drive_combo || fail "could not read the drive box"
  tr '\n' '|' <<<"$answer"
}

# Waits until the drive box, the track count and the window title are as wanted.
wait_for_disc() {
  local drives=$1 tracks=$2 title=$3 seen_drives="" seen_tracks="" seen_title=""
  for _ in $(seq 1 150); do
    seen_drives=$(drive_box)
    probe item-count $track_list || fail "no track list"
    seen_tracks=$answer
    probe wait-main 1000 || fail "no main window"
    seen_title=$answer
    [ "$seen_drives" = "$drives" ] && [ "$seen_tracks" = "$tracks" ] && [ "$seen_title" = "$title" ] && return 0
    sleep 0.2
  done
  fail "drives \"$seen_drives\", $seen_tracks tracks, title \"$seen_title\"; wanted \"$drives\", $tracks, \"$title\""
}

open_through_menu() {
  probe command $open_disc_image || fail "could not choose File > Open Disc Image"
  probe open-file "$(windows_path "$1")" 15000 || fail "no open-file dialog"
  echo "typed $(basename "$1") into \"$answer\""
}

# Rips every track (nothing selected) and checks the files against the
# expected audio: NAME:FILE:SKIP_BYTES:BYTES per track.
rip_and_check() {
  local expected_names=$1
  shift
  probe selection $track_list || fail "could not read the track list's selection"
  [ "$answer" = 0 ] || fail "selection is \"$answer\", wanted none (RIP then takes every track)"
  press_rip_watching_progress 60000
  wait $watch_pid || fail "progress window: $(tr -d '\r' <"$root/watch.out")"
  local listed
  # A rip log or cue sheet the job may write beside the tracks is not a track.
  listed=$(ls -1 "$out" | grep -v '\.\(log\|cue\)$')
  [ "$listed" = "$expected_names" ] || fail "the output folder holds \"$listed\", wanted \"$expected_names\""
  local expected_track name source skip bytes file
  for expected_track in "$@"; do
    IFS=: read -r name source skip bytes <<<"$expected_track"
    file=$out/$name
    [ "$(stat -c %s "$file")" = $((wav_header_bytes + bytes)) ] ||
      fail "$name has $(stat -c %s "$file") bytes, wanted $((wav_header_bytes + bytes))"
    cmp <(tail -c +$((wav_header_bytes + 1)) "$file") \
        <(dd if="$source" iflag=skip_bytes,count_bytes skip="$skip" count="$bytes" status=none) ||
      fail "$name: the samples differ from the track's audio"
    echo "$name: exactly the track's $bytes bytes of audio"
  done
}

demo_only="Virtual CD: corvale-demo.cue|0|"
echo "== a sheet with a missing file on the command line"
printf 'path=%s\\\r\n' "$(windows_path "$out")" >"$work/config.ini"
(cd "$work" && exec wine "$bin/corvale.exe" "$(windows_path "$discs/missing file.cue")") >"$root/corvale.log" 2>&1 </dev/null &
corvale_pid=$!
probe wait-main 30000 || fail "the main window did not show within 30 s"
probe read-box 20000 || fail "no message about the missing file"
echo "$answer"
IFS='|' read -r _ owner text <<<"$answer"
[ "$owner" = main ] || fail "the message is not owned by the main window"
case "$text" in
  *"missing file.cue"*"line 1"*"gone.wav"*) ;;
  *) fail "the message does not name the sheet, line 1 and the missing file: $text" ;;
esac
wait_for_disc "$demo_only" 4 "Corvale - Unknown Title (Unknown Artist)"

echo "== one WAVE file per track through File > Open Disc Image"
open_through_menu "$discs/waves.cue"
wait_for_disc "Virtual CD: corvale-demo.cue|Image: waves.cue|1|" 3 "Corvale - Sheet Album (Sheet Performer)"
sector=2352
rip_and_check "$(printf 'Sheet Performer - %s.wav\n' Alpha Beta Gamma)" \
  "Sheet Performer - Alpha.wav:$discs/01.wav:$wav_header_bytes:$((100 * sector))" \
  "Sheet Performer - Beta.wav:$discs/02.wav:$wav_header_bytes:$((90 * sector))" \
  "Sheet Performer - Gamma.wav:$discs/03.wav:$wav_header_bytes:$((80 * sector))"
timeout 30 import -window root "$artefacts/open_disc_image-waves.png" || fail "no screenshot"
mkdir -p "$root/first rip" && mv "$out"/* "$root/first rip"/

echo "== one FLAC file for the disc through File > Open Disc Image"
open_through_menu "$discs/flac disc.cue"
flac_drives="Virtual CD: corvale-demo.cue|Image: waves.cue|Image: flac disc.cue|2|"
wait_for_disc "$flac_drives" 3 "Corvale - Unknown Title (Unknown Artist)"
rip_and_check "$(printf 'Unknown Artist - Track %02d.wav\n' 1 2 3)" \
  "Unknown Artist - Track 01.wav:$discs/disc.raw:0:$((115 * sector))" \
  "Unknown Artist - Track 02.wav:$discs/disc.raw:$((115 * sector)):$((110 * sector))" \
  "Unknown Artist - Track 03.wav:$discs/disc.raw:$((225 * sector)):$((75 * sector))"

echo "== a 24-bit WAVE is refused and changes nothing"
open_through_menu "$discs/deep.cue"
probe read-box 20000 || fail "no message about the 24-bit WAVE"
echo "$answer"
case "$answer" in
  *"deep.cue"*"line 1"*"24-bit"*) ;;
  *) fail "the message does not name the sheet, line 1 and the 24-bit samples: $answer" ;;
esac
wait_for_disc "$flac_drives" 3 "Corvale - Unknown Title (Unknown Artist)"

echo "== File > Close Disc Image"
probe command $close_disc_image || fail "could not choose File > Close Disc Image"
wait_for_disc "Virtual CD: corvale-demo.cue|Image: waves.cue|1|" 3 "Corvale - Sheet Album (Sheet Performer)"
timeout 30 import -window root "$artefacts/open_disc_image-closed.png" || fail "no screenshot"

echo "== closing"
close_corvale
echo "PASS"
