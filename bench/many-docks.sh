#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Many docks on the real moorline in a private Xvfb with Openbox: the time from launch until the
# window manager has every panel, the CPU that took (moorline, Xvfb, Openbox), the cost of one
# change once all is quiet (one panel moved), and the time from SIGTERM to the process's end.
# On a busy machine the times follow the load; the CPU figures much less so.
#   bench/many-docks.sh [BUILD_DIR] [DOCKS] [HOTKEYS] [RUNS] [make-docks.py options...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
docks=${2:-1000}
hotkeys=${3:-0}
runs=${4:-1}
shift $(( $# < 4 ? $# : 4 ))
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

export HOME="$work/home" DBUS_SESSION_BUS_ADDRESS=disabled:
. "$root/scripts/x-session.sh"
start_x_session 1440x900x24 "$work" || { echo "many-docks.sh: no X server with a window manager" >&2; exit 1; }
xvfb=$x_server_pid openbox=$x_wm_pid

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# Windows the window manager manages: one request, where searching every window would load the
# server being measured.
managed() { xprop -root _NET_CLIENT_LIST 2>/dev/null | tr ',' '\n' | grep -c 0x || true; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
seconds() { awk -v t="$1" 'BEGIN { printf "%.2f", t / 100 }'; }
# Waits until moorline uses under 5 % of a core over a second (at most 60 s).
settle() {
  local last now
  last=$(ticks "$1")
  for _ in $(seq 60); do sleep 1; now=$(ticks "$1"); [ $((now - last)) -lt 5 ] && return; last=$now; done
}

for i in $(seq "$runs"); do
  export XDG_DATA_HOME="$work/data-$i" XDG_CONFIG_HOME="$work/config-$i" XDG_RUNTIME_DIR="$work/run-$i"
  mkdir -p "$XDG_DATA_HOME/Moorline" && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  python3 "$root/bench/make-docks.py" "$XDG_DATA_HOME/Moorline/docks.json" --docks "$docks" \
    --hotkeys "$hotkeys" "$@"
  x0=$(ticks "$xvfb"); o0=$(ticks "$openbox")
  start=$(now_ms)
  "$build/moorline" 2>/dev/null & app=$!
  shown=-
  while [ $(( $(now_ms) - start )) -lt 600000 ]; do
    if [ "$(managed)" -ge "$docks" ]; then shown=$(( $(now_ms) - start )); break; fi
    sleep 0.1
  done
  echo "run $i: $docks docks ($hotkeys with hot keys): every panel managed after ${shown} ms;" \
    "CPU s: moorline $(seconds "$(ticks "$app")"), Xvfb $(seconds $(( $(ticks "$xvfb") - x0 )))," \
    "Openbox $(seconds $(( $(ticks "$openbox") - o0 )))"
  settle "$app"
  m0=$(ticks "$app"); x0=$(ticks "$xvfb"); o0=$(ticks "$openbox")
  window=$(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | sed -n 1p)
  xdotool windowmove "$window" 300 300
  sleep 1 # the move is saved into the store 0.3 s later
  settle "$app"
  echo "run $i: one panel moved: CPU s: moorline $(seconds $(( $(ticks "$app") - m0 )))," \
    "Xvfb $(seconds $(( $(ticks "$xvfb") - x0 ))), Openbox $(seconds $(( $(ticks "$openbox") - o0 )))"
  stop=$(now_ms)
  kill -TERM "$app"
  ended=-
  while [ $(( $(now_ms) - stop )) -lt 60000 ]; do
    if ! kill -0 "$app" 2>/dev/null; then ended=$(( $(now_ms) - stop )); break; fi
    sleep 0.01
  done
  [ "$ended" = - ] && kill -KILL "$app" 2>/dev/null
  wait "$app" 2>/dev/null || true
  echo "run $i: SIGTERM to exit ${ended} ms"
done
