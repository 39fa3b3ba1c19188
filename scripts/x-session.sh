# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the check scripts: a private Xvfb with Openbox, ready to manage windows.
#   start_x_session SCREEN WORK_DIR
# Exports DISPLAY, adds what it starts to the caller's pids array and sets x_server_pid and
# x_wm_pid; returns 1 when no window manager could be brought up.

# Polls a command until it succeeds, for at most $1 seconds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

x_wm_announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
x_probe_shown() { xdotool search --onlyvisible --classname '^moorline-session-probe$'; }

# Openbox names itself before it manages windows, and a window mapped in that moment can stay
# unmanaged for good: probe with fresh windows until one is shown, and restart Openbox if none
# is.
start_x_session() {
  local screen=$1 work=$2 attempt try wm probe
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>/dev/null &
  x_server_pid=$!
  pids+=($x_server_pid)
  wait_for 10 grep -q . "$work/display" || return 1
  export DISPLAY=:$(head -n1 "$work/display")
  for attempt in 1 2 3; do
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    pids+=($wm)
    if wait_for 20 x_wm_announced; then
      for try in 1 2 3 4 5; do
        xclock -geometry 8x8+0+0 -name moorline-session-probe 2>/dev/null &
        probe=$!
        if wait_for 4 x_probe_shown; then
          kill "$probe" 2>/dev/null
          wait "$probe" 2>/dev/null || true
          x_wm_pid=$wm
          return 0
        fi
        kill "$probe" 2>/dev/null
        wait "$probe" 2>/dev/null || true
      done
    fi
    echo "x-session: attempt $attempt to start Openbox failed" >&2
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null || true
  done
  return 1
}
