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
# Visible moorline windows: small ones are tray icons, the others panels.
count_windows() {
  local tray=0 panels=0
  for w in $(xdotool search --onlyvisible --classname '^moorline$' 2>/dev/null); do
    read -r wd ht < <(xwininfo -id "$w" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
    if [ "${wd:-0}" -le 64 ] && [ "${ht:-0}" -le 64 ]; then tray=$((tray+1)); else panels=$((panels+1)); fi
  done
  echo "$tray $panels"
}

tray_times=(); panel_times=()
for i in $(seq "$runs"); do
  export XDG_DATA_HOME="$work/data-$i" XDG_CONFIG_HOME="$work/config-$i"
  start=$(now_ms)
  "$build/moorline" 2>/dev/null & app=$!
  tray_ms=""; panel_ms=""
  while [ -z "$panel_ms" ] && [ $(( $(now_ms) - start )) -lt 10000 ]; do
    read -r tray panels < <(count_windows)
    [ -z "$tray_ms" ] && [ "$tray" -ge 1 ] && tray_ms=$(( $(now_ms) - start ))
    [ -z "$panel_ms" ] && [ "$panels" -ge 3 ] && panel_ms=$(( $(now_ms) - start ))
    [ -n "$tray_ms" ] && [ "$panels" -eq 0 ] && [ $(( $(now_ms) - start )) -gt 3000 ] && break
  done
  kill "$app"; wait "$app" 2>/dev/null || true
  [ -n "$tray_ms" ] && tray_times+=("$tray_ms")
  [ -n "$panel_ms" ] && panel_times+=("$panel_ms")
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END{ if (NR==0) print "n/a"; else print a[int((NR+1)/2)] }'; }
echo "runs: $runs (polling resolution about 10-20 ms)"
echo "launch to tray icon shown: median $(median "${tray_times[@]}") ms (${#tray_times[@]} runs)"
echo "launch to every starter panel mapped: median $(median "${panel_times[@]}") ms (${#panel_times[@]} runs)"
