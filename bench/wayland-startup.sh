#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the real moorline under sway headless (layer-shell panels): the time from launch
# to the first panel's first buffer committed to the compositor (mapped and painted), from
# libwayland's own message log; median of RUNS runs, later starts (docks.json read). Compare
# with bench/startup.sh's "first panel" on X11. As root, sway runs as the test's system user.
#   RUNS=15 bench/wayland-startup.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
runs=${RUNS:-15}
work=$(mktemp -d); chmod 755 "$work"
sway_pid=
cleanup() { [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

mkdir -m 700 "$work/sway" "$work/runtime"
printf 'output HEADLESS-1 resolution 1280x800\n' > "$work/sway.conf"; chmod 644 "$work/sway.conf"
as_user=()
if [ "$(id -u)" = 0 ]; then
  id moorline-wayland >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin moorline-wayland
  chown moorline-wayland: "$work/sway"
  as_user=(setpriv --reuid="$(id -u moorline-wayland)" --regid="$(id -g moorline-wayland)" --clear-groups)
fi
env -i PATH="$PATH" XDG_RUNTIME_DIR="$work/sway" WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=1 \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_user[@]}" sway -c "$work/sway.conf" \
  >/dev/null 2>&1 & sway_pid=$!
until [ -S "$work/sway/wayland-1" ]; do sleep 0.05; done
export WAYLAND_DISPLAY="$work/sway/wayland-1" XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
eval "$(dbus-launch --sh-syntax)"

# libwayland stamps each message with the wall clock's microseconds, cut to 32 bits, as ms.
now_ms() { python3 -c 'import time; print("%.3f" % ((time.time_ns() // 1000 % 2**32) / 1000))'; }
measure() {
  local start log="$work/wayland-$RANDOM" app
  start=$(now_ms)
  WAYLAND_DEBUG=client "$build/moorline" 2>"$log" & app=$!
  for _ in $(seq 200); do grep -q 'zwlr_layer_surface_v1@[0-9]*\.ack_configure' "$log" 2>/dev/null &&
    grep -q 'wl_surface@[0-9]*\.attach(wl_buffer' "$log" && break; sleep 0.05; done
  kill "$app"; wait "$app" 2>/dev/null || true
  # The first buffer attached after the first layer surface was configured.
  awk -v s="$start" '/zwlr_layer_surface_v1@[0-9]*\.ack_configure/ { acked = 1 }
    acked && /wl_surface@[0-9]*\.attach\(wl_buffer/ { t = substr($0, 2, index($0, "]") - 2) + 0; d = t - s; if (d < 0) d += 4294967.296
    printf "%d\n", d; exit }' "$log"
}
measure >/dev/null # seeds the starter docks
for _ in $(seq "$runs"); do measure; done | sort -n |
  awk '{a[NR]=$1} END { print "runs:", NR, " median ms from launch to the first panel painted on sway:", a[int((NR+1)/2)] }'
