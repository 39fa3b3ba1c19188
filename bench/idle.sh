#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the real moorline does while nobody touches it, in a private Xvfb with Openbox and a
# tray: the system calls of all its threads over a window of time (strace), read as wake-ups
# (returns from a poll that slept; a poll with a zero timeout only looks again within the same
# wake-up) and requests to the X server (xcb writes them with writev: a repaint sends some).
# Three desktops: the starter docks (clock, disk space, trash), the same docks without docklets,
# and the starter docks with a CPU meter.
# The trace starts WARMUP seconds after launch (35 by default): past the start-up, the first save,
# the first sampling, and Qt's retiring of the threads it drew the first frame with, which end
# after 30 seconds unused.
#   [WARMUP=35] bench/idle.sh [BUILD_DIR] [SECONDS]
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

# One run: prints "MAIN_WAKEUPS/S MAIN_LOOKS/S X_WRITES/S OTHER_WAKEUPS/S SLEPT_MAIN/S
# SLEPT_OTHER/S PROGRAM_WAKEUPS/S" for the docks in $XDG_DATA_HOME. Other threads are Qt's and
# GIO's own (the X event reader, D-Bus, GIO's main context thread, which watches application
# folders, Qt's painting threads). The first four count polls by their timeout (as this script
# always did: a poll with a timeout that returns at once, such as xcb's wait to write, counts
# too); the next two count every system call of a thread that slept at least a millisecond and
# returned (a poll, a futex, a thread that ends after its idle time); the last counts the moments
# the program as a whole woke: such returns of any thread within 10 ms of one another are one
# (the X reader thread woken by the reply to a request the main thread just made does not wake
# the processor again).
measure() {
  "$build/moorline" 2>/dev/null & local app=$!
  sleep "${WARMUP:-35}"
  strace -f -tt -T -o "$traces/strace.txt" -p "$app" 2>/dev/null & local tracer=$!
  sleep "$seconds"
  kill -INT "$tracer"; wait "$tracer" 2>/dev/null || true
  kill "$app"; wait "$app" 2>/dev/null || true
  # poll(fds, nfds, timeout): the timeout is the third argument; a call cut in two by another
  # thread's line shows it before "<unfinished". strace -T ends a finished call with its time.
  awk -v s="$seconds" -v main="$app" '
    / poll\(/ { t = $0; sub(/\) += .*|  *<unfinished.*/, "", t); n = split(t, a, ", ");
                if ($1 != main) { if (a[n] != "0") other++ } else if (a[n] == "0") looks++; else wakes++ }
    / writev\(/ && $1 == main { writes++ }
    # A finished call is stamped with its start, a resumed one with its end.
    /<[0-9.]+>$/ { d = $NF; gsub(/[<>]/, "", d)
                   split($2, hms, ":"); at = hms[1] * 3600 + hms[2] * 60 + hms[3]
                   end = / resumed>/ ? at : at + d
                   if (d + 0 >= 0.001) { if ($1 == main) slept++; else sleptOther++
                                         if (last == "" || end - last > 0.010) program++ }
                   if (end > last) last = end }
    END { printf "%.2f %.2f %.2f %.2f %.3f %.3f %.3f\n", wakes / s, looks / s, writes / s,
                 other / s, slept / s, sleptOther / s, program / s }' "$traces/strace.txt"
}

report() {
  read -r wake looks writes other slept sleptOther program < <(measure)
  echo "$1, ${seconds} s: program woke ${program}/s; $(awk -v a="$slept" -v b="$sleptOther" 'BEGIN { printf "%.3f", a + b }') thread wake-ups/s (calls that slept: main $slept, others $sleptOther); by poll timeouts $(awk -v a="$wake" -v b="$other" 'BEGIN { printf "%.2f", a + b }')/s: main thread ${wake}/s (and ${looks} zero-timeout polls/s), ${writes} X request writes/s, other threads ${other}/s"
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
