# Shared by the end-to-end scripts: paths as Wine sees them, the probe, clicks
# and stopping corvale.exe.  The sourcing script sets root, probe_exe and
# corvale_pid, and defines fail.

# Wine sees the Unix root as drive Z:.
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

stop_corvale() {
  if [ -n "$corvale_pid" ] && kill -0 "$corvale_pid" 2>/dev/null; then
    kill "$corvale_pid" 2>/dev/null
    sleep 0.5
    kill -9 "$corvale_pid" 2>/dev/null
    wait "$corvale_pid" 2>/dev/null
  fi
  corvale_pid=""
}

# Runs the probe; its answer (without carriage returns) lands in $answer.
# A Windows program's output goes to a file: Wine's helper processes would
# hold a pipe open.
probe() {
  timeout 90 wine "$probe_exe" "$@" >"$root/probe.out" 2>"$root/probe.err" </dev/null
  local status=$?
  answer=$(tr -d '\r' <"$root/probe.out")
  if [ $status -ne 0 ]; then
    echo "probe $1: exit $status: $(tr -d '\r' <"$root/probe.err")" >&2
  fi
  return $status
}

click() { timeout 10 xdotool mousemove "$1" "$2" click 1 || fail "xdotool could not click at $1,$2"; }
