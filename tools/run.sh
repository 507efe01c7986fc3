#!/usr/bin/env bash
# Installs what is missing, builds, and starts Corvale under Wine with the demo
# disc as a virtual drive.  The window shows on $DISPLAY when there is one,
# else on a virtual display (say so, and tell how to look at it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CORVALE_ROOT=$root
export CORVALE_BUILD=${CORVALE_BUILD:-$root/build}
"$root/tools/bootstrap.sh"
"$root/tools/build.sh" --win-only

source "$root/tools/wine-env.sh"
trap corvale_stop_session EXIT
trap "exit 130" INT TERM
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  unset DISPLAY
  corvale_start_display
  echo "No X display here: Corvale runs on the virtual display $DISPLAY."
  echo "Take a look with: DISPLAY=$DISPLAY import -window root corvale.png"
fi
corvale_start_wine

bin="$CORVALE_BUILD/win/product"
demo="$CORVALE_BUILD/win/demo/corvale-demo.cue"
# Wine sees the Unix root as drive Z:.
images="Z:${demo//\//\\}"
if [ -n "${AKRIP_IMAGES:-}" ]; then images="$AKRIP_IMAGES;$images"; fi
export AKRIP_IMAGES=$images
# Virtual drives read as fast as their files; at a drive's pace the progress
# of a rip can be watched, and cancelled.
export AKRIP_SPEED=${AKRIP_SPEED:-8x}

# Corvale keeps config.ini, "temp" and "lang" in its working folder.
cd "$bin"
# A newcomer can rip to MP3 at once: when config.ini names no MP3 encoder,
# point it at the LAME the bootstrap built.
lame="${CORVALE_DEPS:-/opt/corvale-deps}/bin/lame.exe"
if [ -f "$lame" ] && ! grep -qiE '^mp3encoder=.' config.ini 2>/dev/null; then
  if [ -f config.ini ]; then
    sed -i -E '/^mp3(encoder|params)=/Id' config.ini
    [ -n "$(tail -c 1 config.ini)" ] && echo >>config.ini
  fi
  printf 'mp3encoder=Z:%s\nmp3params="%%IN%%" "%%OUT%%"\n' "${lame//\//\\}" >>config.ini
  echo "MP3 encoder: $lame"
fi
echo "Starting Corvale (demo disc: $demo)"
wine corvale.exe "$@"
