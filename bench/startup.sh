#!/usr/bin/env bash
# Start-up of the real moorline in a private Xvfb with Openbox and a tray: the time from launch
# to the tray icon shown, and to every panel of the starter docks mapped; median of N runs.
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
# Visible moorline windows: small ones are tray icons, the others panels. Sizes are asked once
# per window, so that a poll costs one xdotool call.
declare -A sizes
count_windows() {
  local tray=0 panels=0
  for w in $(xdotool search --onlyvisible --classname '^moorline$' 2>/dev/null); do
    if [ -z "${sizes[$w]:-}" ]; then
      sizes[$w]=$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print (w<=64 && h<=64) ? "tray" : "panel"}')
    fi
    if [ "${sizes[$w]}" = tray ]; then tray=$((tray+1)); else panels=$((panels+1)); fi
  done
  echo "$tray $panels"
}

# One launch: prints "TRAY_MS PANELS_MS" (empty when not seen within 10 s).
measure() {
  sizes=()
  local start app tray_ms="" panel_ms="" tray panels
  start=$(now_ms)
  "$build/moorline" 2>/dev/null & app=$!
  while [ -z "$panel_ms" ] && [ $(( $(now_ms) - start )) -lt 10000 ]; do
    read -r tray panels < <(count_windows)
    [ -z "$tray_ms" ] && [ "$tray" -ge 1 ] && tray_ms=$(( $(now_ms) - start ))
    [ -z "$panel_ms" ] && [ "$panels" -ge 3 ] && panel_ms=$(( $(now_ms) - start ))
  done
  kill "$app"; wait "$app" 2>/dev/null || true
  echo "${tray_ms:--} ${panel_ms:--}"
}

first_tray=(); first_panels=(); again_tray=(); again_panels=()
for i in $(seq "$runs"); do
  export XDG_DATA_HOME="$work/data-$i" XDG_CONFIG_HOME="$work/config-$i"
  # The first launch seeds the starter docks (default applications looked up); the second
  # reads the docks.json the first one wrote, as every later start does.
  read -r t p < <(measure); [ "$t" != - ] && first_tray+=("$t"); [ "$p" != - ] && first_panels+=("$p")
  read -r t p < <(measure); [ "$t" != - ] && again_tray+=("$t"); [ "$p" != - ] && again_panels+=("$p")
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END{ if (NR==0) print "n/a"; else print a[int((NR+1)/2)] }'; }
echo "runs: $runs of each (polling resolution about 5-10 ms)"
echo "first start (starter docks): tray icon shown: median $(median "${first_tray[@]}") ms; every panel mapped: median $(median "${first_panels[@]}") ms"
echo "later start (docks.json read): tray icon shown: median $(median "${again_tray[@]}") ms; every panel mapped: median $(median "${again_panels[@]}") ms"
