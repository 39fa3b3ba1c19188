#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the real moorline in a private Xvfb with Openbox and a tray, against the toolkit's
# floor: a bare Qt Widgets program (bench/bare.cpp, one frameless 180 x 420 label) built here.
# For each launch: the time from exec to the first window mapped and to the first drawing in it
# that reached the X server (DAMAGE), to every panel painted, the CPU the program had used when it
# asked for its first panel to be mapped (all threads; steadier than the clock on a busy
# machine), and its memory once started (RSS and the private dirty pages of its heap).
#
# Every kind of launch takes its turn in each round (the builds in turn first, each launch after a
# short pause), so that a change in the machine's load falls
# on all of them alike; the figures are medians over RUNS rounds:
#   bare                the bare Qt program
#   starter             each build, with the starter docks as a first start wrote them (and the
#                       cache it left), each launch from a fresh copy of that home
#   big                 the same home with SIZE_MB MB of clippings in the clippings dock (when
#                       SIZE_MB is set; 12 is about 20,000 clippings)
#   first               each build on an empty home (when FIRST=1): the starter docks are made
# With DOCKS=FILE the starter launches read that docks.json instead.
#   RUNS=15 [SIZE_MB=12] [FIRST=1] [DOCKS=FILE] bench/startup.sh [BUILD_DIR...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
builds=("${@:-$root/build}")
runs=${RUNS:-15}
work=$(mktemp -d)
# On a desktop the runtime folder (the instance lock and socket) is in memory: a lock file on a
# busy disk costs a sync of tens of milliseconds that no user waits for.
runtime=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work" "$runtime"; }
trap cleanup EXIT

export XDG_RUNTIME_DIR="$runtime"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
. "$root/scripts/x-session.sh"
start_x_session 1440x900x24 "$work" || { echo "startup.sh: no X server with a window manager" >&2; exit 1; }
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & pids+=($!)
sleep 0.5
eval "$(dbus-launch --sh-syntax)"; pids+=("$DBUS_SESSION_BUS_PID")

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# The X server reports each window of ours as it is mapped and first drawn (no polling): a small
# watcher. And the program notes its own CPU time when it asks for each map (a preloaded wrapper).
cc -O2 -o "$work/mapwatch" "$root/bench/mapwatch.c" -lxcb -lxcb-damage
cc -O2 -shared -fPIC -o "$work/mapclock.so" "$root/bench/mapclock.c" -ldl
# shellcheck disable=SC2046
c++ -O2 -fPIC -o "$work/moorline-bare" "$root/bench/bare.cpp" $(pkg-config --cflags --libs Qt6Widgets)
"$work/mapwatch" moorline moorline-bare > "$work/maps" & pids+=($!)
until grep -q ready "$work/maps" 2>/dev/null; do sleep 0.05; done

# The memory of a started program: "RSS_KB HEAP_KB PRIVATE_KB", the heap being the private dirty
# pages of the brk heap and of anonymous mappings (malloc's arenas and large blocks), the private
# ones those of every mapping (relocated library data included).
memory() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" | tr '\n' ' '
  awk '/^[0-9a-f]+-[0-9a-f]+ / { h = ($6 == "" || $6 == "[heap]") }
       /^Private_Dirty:/ { all += $2; if (h) heap += $2 } END { print heap + 0, all + 0 }' "/proc/$1/smaps"
}

# One launch of PROGRAM with HOME=$3, waiting for $2 windows larger than a tray icon to be
# painted; prints "MAP_MS PAINT_MS COMPLETE_MS ALL_PAINTED_MS CPU_MS RSS_KB HEAP_KB PRIVATE_KB" (-
# when not seen within 10 s): the first panel mapped, first drawn, and drawn as it stands once
# the start is over (its whole first frame, however many passes the program took; drawings of
# the same pixels again do not count); every panel drawn.
measure() {
  local program=$1 windows=$2 start app lines="" clock="$work/clock-$RANDOM" mem="- - -"
  # The last program's windows going away and the copy of the home just made are still work
  # for the X server, the window manager and the kernel: a launch straight after them was
  # measured 4-8 ms slower, whichever build it was.
  sleep "${PAUSE:-0.5}"
  start=$(now_ms)
  HOME=$3 MOORLINE_MAPCLOCK="$clock" LD_PRELOAD="$work/mapclock.so" "$program" 2>/dev/null & app=$!
  # The times come from the watcher's notes, not from this loop, which only ends the wait: it
  # looks seldom, since each look starts programs that would take the CPU from the start timed.
  while sleep 0.25 && [ $(( $(now_ms) - start )) -lt 10000 ]; do
    lines=$(awk -v s="$start" '$1 != "ready" && $1 >= s && ($4 > 64 || $5 > 64)' "$work/maps")
    [ "$(awk '$2 == "paint" { print $3 }' <<<"$lines" | sort -u | wc -l)" -ge "$windows" ] && break
  done
  # Once started: what it holds after the work it left for later; and the quiet that ends the
  # first frame.
  sleep "${SETTLE:-1.5}"
  lines=$(awk -v s="$start" '$1 != "ready" && $1 >= s && ($4 > 64 || $5 > 64)' "$work/maps")
  mem=$(memory "$app" 2>/dev/null || echo "- - -")
  kill "$app"; wait "$app" 2>/dev/null || true
  local cpu
  cpu=$(awk '$3 > 64 || $4 > 64 { printf "%d", $1; exit }' "$clock" 2>/dev/null)
  rm -f "$clock"
  awk -v s="$start" -v cpu="${cpu:--}" -v n="$windows" -v mem="$mem" '
    $2 == "map" && w == "" { w = $3; map = $1 - s }
    $2 == "paint" && !seen[$3]++ { p++; if (p == n) all = $1 - s }
    $2 == "paint" && $3 == w { if (first == "") first = $1 - s; k++; at[k] = $1 - s; hash[k] = $7 }
    END { complete = "-"
          for (i = k; i >= 1 && hash[i] == hash[k]; i--) complete = at[i]
          print (map == "" ? "-" : map), (first == "" ? "-" : first), complete,
                (all == "" ? "-" : all), cpu, mem }' <<<"$lines"
}

# A home as a first start leaves it (docks.json, caches), made once by the first build and copied
# for every launch, so that every build reads the same docks.
seed=$work/seed
mkdir -p "$seed"
HOME=$seed "${builds[0]}/moorline" 2>/dev/null & app=$!
sleep 4
kill "$app"; wait "$app" 2>/dev/null || true
[ -n "${DOCKS:-}" ] && cp "$DOCKS" "$seed/.local/share/Moorline/docks.json"
if [ -n "${SIZE_MB:-}" ]; then
  cp -a "$seed" "$work/seed-big"
  python3 "$root/bench/make-docks.py" "$work/seed-big/.local/share/Moorline/docks.json" \
    --into "$seed/.local/share/Moorline/docks.json" --size-mb "$SIZE_MB"
fi
# Each build leaves its own caches in its copy once, as a later start finds them.
for b in "${!builds[@]}"; do
  for kind in "" -big; do
    [ -d "$seed$kind" ] || continue
    cp -a "$seed$kind" "$work/home$kind-$b"
    HOME=$work/home$kind-$b "${builds[$b]}/moorline" 2>/dev/null & app=$!
    sleep 4
    kill "$app"; wait "$app" 2>/dev/null || true
  done
done
windows=$(python3 -c 'import json,sys; print(sum(d["isVisible"] for d in json.load(open(sys.argv[1]))))' \
  "$seed/.local/share/Moorline/docks.json")

fresh() { rm -rf "$work/run"; cp -a "$1" "$work/run"; echo "$work/run"; }
for i in $(seq "$runs"); do
  echo "bare $(measure "$work/moorline-bare" 1 "$(fresh "$seed")")" >> "$work/results-bare"
  # Each round starts with the next build, so that none always comes first.
  for k in "${!builds[@]}"; do
    b=$(( (k + i) % ${#builds[@]} ))
    echo "starter $(measure "${builds[$b]}/moorline" "$windows" "$(fresh "$work/home-$b")")" >> "$work/results-$b"
    [ -n "${SIZE_MB:-}" ] &&
      echo "big $(measure "${builds[$b]}/moorline" "$windows" "$(fresh "$work/home-big-$b")")" >> "$work/results-$b"
    if [ "${FIRST:-}" = 1 ]; then
      rm -rf "$work/run" && mkdir "$work/run"
      echo "first $(measure "${builds[$b]}/moorline" "$windows" "$work/run")" >> "$work/results-$b"
    fi
  done
done

median() { grep -v '^-$' | sort -n | awk '{a[NR]=$1} END { if (NR==0) print "n/a"; else print a[int((NR+1)/2)] }'; }
column() { awk -v run="$2" -v c="$3" '$1 == run { print $c }' "$1" | median; }
line() {
  local r=$1 run=$2 label=$3
  grep -q "^$run " "$r" 2>/dev/null || return 0
  printf '  %-34s mapped %4s ms, first drawn %4s ms, whole first frame %4s ms, every panel drawn %4s ms; CPU at first map %3s ms; RSS %s KiB, heap %s KiB, private %s KiB\n' \
    "$label" "$(column "$r" "$run" 2)" "$(column "$r" "$run" 3)" "$(column "$r" "$run" 4)" \
    "$(column "$r" "$run" 5)" "$(column "$r" "$run" 6)" "$(column "$r" "$run" 7)" \
    "$(column "$r" "$run" 8)" "$(column "$r" "$run" 9)"
}
echo "runs: $runs rounds, medians; times from exec to the X server's notifications; load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
line "$work/results-bare" bare "bare Qt program:"
for b in "${!builds[@]}"; do
  echo "${builds[$b]}:"
  line "$work/results-$b" starter "starter docks ($windows panels):"
  [ -n "${SIZE_MB:-}" ] && line "$work/results-$b" big \
    "with $(du -h "$work/seed-big/.local/share/Moorline/docks.json" | cut -f1) of clippings:"
  line "$work/results-$b" first "first start (empty home):"
done
if [ -n "${SIZE_MB:-}" ] || [ ${#builds[@]} -gt 0 ]; then
  bare=$(column "$work/results-bare" bare 4)
  barecpu=$(column "$work/results-bare" bare 6)
  for b in "${!builds[@]}"; do
    r="$work/results-$b"
    awk -v bare="$bare" -v s="$(column "$r" starter 4)" -v a="$(column "$r" starter 5)" \
        -v big="$(column "$r" big 4)" -v biga="$(column "$r" big 5)" -v name="${builds[$b]}" \
        -v barecpu="$barecpu" -v cpu="$(column "$r" starter 6)" -v bigcpu="$(column "$r" big 6)" 'BEGIN {
      printf "%s: whole first frame %.2fx the bare program'"'"'s (every panel drawn %.2fx; CPU at first map %.2fx)", name, s / bare, a / bare, cpu / barecpu
      if (big != "n/a") printf "; the big file costs %+.0f%% on the first frame (%+.0f%% every panel; %+.0f%% CPU at first map)", (big / s - 1) * 100, (biga / a - 1) * 100, (bigcpu / cpu - 1) * 100
      printf "\n" }'
  done
fi
