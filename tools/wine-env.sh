# Sourced by the scripts that run Windows programs: a private 32-bit Wine
# prefix in the build tree, a persistent wineserver, and a virtual X display.
CORVALE_ROOT=${CORVALE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export CORVALE_BUILD=${CORVALE_BUILD:-$CORVALE_ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$CORVALE_BUILD/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

corvale_started_xvfb=""

# Starts Xvfb on a free display unless DISPLAY already works.
corvale_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  local n
  for n in $(seq 91 140); do
    if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    corvale_started_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do
      xdpyinfo >/dev/null 2>&1 && return
      sleep 0.05
    done
    echo "Xvfb did not start on :$n" >&2
    return 1
  done
  echo "no free X display number" >&2
  return 1
}

corvale_start_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
  fi
  # Already running for this prefix is fine too.
  wineserver -p 2>/dev/null || true
}

corvale_stop_session() {
  wineserver -k 2>/dev/null || true
  if [ -n "$corvale_started_xvfb" ]; then
    kill "$corvale_started_xvfb" 2>/dev/null || true
    wait "$corvale_started_xvfb" 2>/dev/null || true
  fi
}
