#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the real moorline in a private Xvfb with Openbox and a tray: the time from launch
# to the tray icon shown, and to every panel of the starter docks mapped, and the CPU time the
# program had used by then (all its threads; steadier than the clock on a busy machine); median
# of RUNS runs. Several builds are compared run by run, taking turns, so that a change in the
# machine's load falls on all of them alike.
# With DOCKS=FILE every launch starts from a copy of that docks.json instead.
#   RUNS=15 [DOCKS=FILE] bench/startup.sh [BUILD_DIR...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
builds=("${@:-$root/build}")
runs=${RUNS:-15}
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

export XDG_RUNTIME_DIR="$work" HOME="$work/home"
. "$root/scripts/x-session.sh"
start_x_session 1440x900x24 "$work" || { echo "startup.sh: no X server with a window manager" >&2; exit 1; }
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & pids+=($!)
sleep 0.5
eval "$(dbus-launch --sh-syntax)"; pids+=("$DBUS_SESSION_BUS_PID")

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# The X server reports each window of ours as it is mapped (no polling): a small watcher. And
# the program notes its own CPU time when it asks for each map (a preloaded wrapper).
cc -O2 -o "$work/mapwatch" "$root/bench/mapwatch.c" -lxcb
cc -O2 -shared -fPIC -o "$work/mapclock.so" "$root/bench/mapclock.c" -ldl
"$work/mapwatch" moorline > "$work/maps" & pids+=($!)
until grep -q ready "$work/maps" 2>/dev/null; do sleep 0.05; done

# One launch: prints "TRAY_MS FIRST_PANEL_MS PANELS_MS FIRST_PANEL_CPU_MS" (- when not seen
# within 10 s). Windows up to 64 x 64 are tray icons, the others panels. The CPU time is what
# the program had used when it asked for its first panel to be mapped: steadier than the clock
# on a busy machine.
measure() {
  local build=$1 start app lines="" clock="$work/clock-$RANDOM"
  start=$(now_ms)
  MOORLINE_MAPCLOCK="$clock" LD_PRELOAD="$work/mapclock.so" "$build/moorline" 2>/dev/null & app=$!
  while [ $(( $(now_ms) - start )) -lt 10000 ]; do
    lines=$(awk -v s="$start" '$1 != "ready" && $1 >= s' "$work/maps")
    [ "$(awk '$3 > 64 || $4 > 64 { print $2 }' <<<"$lines" | sort -u | wc -l)" -ge 3 ] && break
    sleep 0.01
  done
  kill "$app"; wait "$app" 2>/dev/null || true
  local cpu
  cpu=$(awk '$3 > 64 || $4 > 64 { printf "%d", $1; exit }' "$clock" 2>/dev/null)
  awk -v s="$start" -v cpu="${cpu:--}" '
    $3 <= 64 && $4 <= 64 { if (tray == "") tray = $1 - s; next }
    !seen[$2]++ { n++; if (n == 1) first = $1 - s; if (n == 3) all = $1 - s }
    END { print (tray == "" ? "-" : tray), (first == "" ? "-" : first), (all == "" ? "-" : all), cpu }' <<<"$lines"
}

for i in $(seq "$runs"); do
  for b in "${!builds[@]}"; do
    export XDG_DATA_HOME="$work/data-$b-$i" XDG_CONFIG_HOME="$work/config-$b-$i"
    # The first launch seeds the starter docks (default applications looked up); the second
    # reads the docks.json the first one wrote, as every later start does.
    if [ -n "${DOCKS:-}" ]; then
      mkdir -p "$XDG_DATA_HOME/Moorline"
      cp "$DOCKS" "$XDG_DATA_HOME/Moorline/docks.json"
      echo "again $(measure "${builds[$b]}")" >> "$work/results-$b"
      continue
    fi
    echo "first $(measure "${builds[$b]}")" >> "$work/results-$b"
    echo "again $(measure "${builds[$b]}")" >> "$work/results-$b"
  done
done

median() { grep -v '^-$' | sort -n | awk '{a[NR]=$1} END { if (NR==0) print "n/a"; else print a[int((NR+1)/2)] }'; }
column() { awk -v run="$2" -v c="$3" '$1 == run { print $c }' "$1" | median; }
echo "runs: $runs of each; times from launch to the X server's map notification"
for b in "${!builds[@]}"; do
  echo "${builds[$b]}:"
  for run in first again; do
    [ -n "${DOCKS:-}" ] && [ $run = first ] && continue
    [ $run = first ] && label="first start (starter docks)" || label="later start (docks.json read)"
    [ -n "${DOCKS:-}" ] && label="start with $(basename "$DOCKS") ($(du -h "$DOCKS" | cut -f1))"
    r="$work/results-$b"
    echo "  $label: tray icon $(column "$r" $run 2) ms; first panel $(column "$r" $run 3) ms; every panel $(column "$r" $run 4) ms; CPU used when it asked for the first panel $(column "$r" $run 5) ms (medians)"
  done
done
