#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the real moorline does while nobody touches it, in a private Xvfb with Openbox and a
# tray: the system calls of all its threads over a window of time (strace), read as wake-ups
# (returns from a poll that slept; a poll with a zero timeout only looks again within the same
# wake-up) and requests to the X server (xcb writes them with writev: a repaint sends some).
# Three desktops: the starter docks (clock, disk space, trash), the same docks without docklets,
# and the starter docks with a CPU meter.
#   bench/idle.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-20}
work=$(mktemp -d)
# The trace goes elsewhere: GIO watches folders of the session (for a missing one, the nearest
# that exists), and a trace written among them would wake the program it measures.
traces=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work" "$traces"; }
trap cleanup EXIT

export XDG_RUNTIME_DIR="$work" HOME="$work/home"
mkdir -p "$HOME"
. "$root/scripts/x-session.sh"
start_x_session 1440x900x24 "$work" || { echo "idle.sh: no X server with a window manager" >&2; exit 1; }
# A tray, as on a desktop: without one the program opens its settings window at start.
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & pids+=($!)
sleep 0.5
eval "$(dbus-launch --sh-syntax)"; pids+=("$DBUS_SESSION_BUS_PID")

# One run: prints "MAIN_WAKEUPS/S MAIN_LOOKS/S X_WRITES/S OTHER_WAKEUPS/S" for the docks in
# $XDG_DATA_HOME. Other threads are Qt's and GIO's own (the X event reader, D-Bus, GIO's main
# context thread, which watches application folders).
measure() {
  "$build/moorline" 2>/dev/null & local app=$!
  sleep 5 # start-up, the first save, the first sampling
  strace -f -e trace=poll,ppoll,writev -o "$traces/strace.txt" -p "$app" 2>/dev/null & local tracer=$!
  sleep "$seconds"
  kill -INT "$tracer"; wait "$tracer" 2>/dev/null || true
  kill "$app"; wait "$app" 2>/dev/null || true
  # poll(fds, nfds, timeout): the timeout is the third argument; a call cut in two by another
  # thread's line shows it before "<unfinished".
  awk -v s="$seconds" -v main="$app" '
    / poll\(/ { t = $0; sub(/\) += .*|  *<unfinished.*/, "", t); n = split(t, a, ", ");
                if ($1 != main) { if (a[n] != "0") other++ } else if (a[n] == "0") looks++; else wakes++ }
    / writev\(/ && $1 == main { writes++ }
    END { printf "%.2f %.2f %.2f %.2f\n", wakes / s, looks / s, writes / s, other / s }' "$traces/strace.txt"
}

report() {
  read -r wake looks writes other < <(measure)
  echo "$1, ${seconds} s: $(awk -v a="$wake" -v b="$other" 'BEGIN { printf "%.2f", a + b }') wake-ups/s in all: main thread ${wake} wake-ups/s (and ${looks} zero-timeout polls/s), ${writes} X request writes/s; other threads ${other} wake-ups/s"
}

export XDG_DATA_HOME="$work/starter" XDG_CONFIG_HOME="$work/config"
report "starter docks (clock, disk space, trash)"

# The same docks.json with every docklet taken out.
# The same docks.json with every docklet taken out, and with a CPU meter added.
python3 - "$work/starter/Moorline/docks.json" "$work" <<'PY'
import copy, json, os, sys, uuid
docks = json.load(open(sys.argv[1]))
plain = copy.deepcopy(docks)
for dock in plain:
    for tab in dock["tabs"]:
        tab["items"] = [i for i in tab["items"] if i["kind"] != "docklet"]
meter = copy.deepcopy(docks)
meter[0]["tabs"][0]["items"].insert(0, {"id": str(uuid.uuid4()).upper(), "kind": "docklet",
                                     "name": "CPU", "docklet": "cpuMeter", "createdAt": 0})
for name, content in (("plain", plain), ("meter", meter)):
    os.makedirs(f"{sys.argv[2]}/{name}/Moorline", exist_ok=True)
    json.dump(content, open(f"{sys.argv[2]}/{name}/Moorline/docks.json", "w"))
PY
export XDG_DATA_HOME="$work/plain"
report "no docklet on screen"
export XDG_DATA_HOME="$work/meter"
report "starter docks and a CPU meter"
