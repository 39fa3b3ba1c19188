#!/usr/bin/env bash
# Start-up of the real moorline in a private Xvfb with Openbox and a tray: the time from launch
# to the tray icon shown, and to every panel of the starter docks mapped, and the CPU time the
# program had used by then (all its threads; steadier than the clock on a busy machine); median
# of N runs.
#   bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
runs=${2:-15}
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

exec {fd}< <(Xvfb -displayfd 1 -screen 0 1440x900x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r -u "$fd" line; pids+=("${line#pid }")
read -r -u "$fd" number
export DISPLAY=":$number" XDG_RUNTIME_DIR="$work" HOME="$work/home"
openbox --sm-disable >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
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
  local start app lines="" clock="$work/clock-$RANDOM"
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

first_tray=(); first_one=(); first_panels=(); first_cpu=(); again_tray=(); again_one=(); again_panels=(); again_cpu=()
for i in $(seq "$runs"); do
  export XDG_DATA_HOME="$work/data-$i" XDG_CONFIG_HOME="$work/config-$i"
  # The first launch seeds the starter docks (default applications looked up); the second
  # reads the docks.json the first one wrote, as every later start does.
  read -r t o p c < <(measure); first_tray+=("$t"); first_one+=("$o"); first_panels+=("$p"); first_cpu+=("$c")
  read -r t o p c < <(measure); again_tray+=("$t"); again_one+=("$o"); again_panels+=("$p"); again_cpu+=("$c")
done

median() { printf '%s\n' "$@" | grep -v '^-$' | sort -n | awk '{a[NR]=$1} END { if (NR==0) print "n/a"; else print a[int((NR+1)/2)] }'; }
echo "runs: $runs of each; times from launch to the X server's map notification"
for run in first again; do
  [ $run = first ] && label="first start (starter docks)" || label="later start (docks.json read)"
  declare -n tray_=${run}_tray one_=${run}_one panels_=${run}_panels cpu_=${run}_cpu
  echo "$label: tray icon $(median "${tray_[@]}") ms; first panel $(median "${one_[@]}") ms; every panel $(median "${panels_[@]}") ms; CPU used when it asked for the first panel $(median "${cpu_[@]}") ms (medians)"
done
