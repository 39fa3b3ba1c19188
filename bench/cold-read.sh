#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A big docks.json read cold, as at every start: each run is a fresh process. Generates a 12 MB
# file of 20,000 clippings of about 400 characters, then prints for `moorline-docks check` and
# `format`, and for a load as the store does it (bench_DockCodecBench --load), the medians over
# RUNS of wall time, CPU time (user + system) and minor page faults, the peak memory, and each
# beside the same run on an empty file; then the warm, in-process figures of the same text.
# Needs GNU time (/usr/bin/time, Debian package `time`).
#   bench/cold-read.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build-test}
runs=${2:-15}
[ -x /usr/bin/time ] || { echo "cold-read.sh: needs /usr/bin/time (apt-get install time)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bench="$build/bench/bench_DockCodecBench"
"$bench" --write-clippings "$work/docks.json"
printf '[]' >"$work/empty.json"
size=$(stat -c %s "$work/docks.json")

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# One line per run: wall ms, CPU ms (user + system, from bash's `time`), peak KB and minor
# faults (from GNU time, whose own share is a few hundred KB and under a millisecond).
runs_of() {
  local TIMEFORMAT='%3R %3U %3S'
  for _ in $(seq "$runs"); do
    { time /usr/bin/time -f '%M %R' -o "$work/time" "$@" >/dev/null; } 2>"$work/times"
    read -r wall user system <"$work/times"
    read -r peak faults <"$work/time"
    awk -v w="$wall" -v u="$user" -v s="$system" -v p="$peak" -v f="$faults" \
      'BEGIN {printf "%.1f %.1f %d %d\n", w * 1000, (u + s) * 1000, p, f}'
  done >"$work/runs"
  for column in 1 2 3 4; do cut -d' ' -f$column "$work/runs" | median; done | paste -sd' '
}

calc() { awk "BEGIN {print $*}"; }

printf 'file: %.1f MB, %d runs each, medians; CPU is user + system time\n' \
  "$(calc "$size / 1000000")" "$runs"
printf '%-9s %-6s %9s %9s %9s %9s\n' command file "wall ms" "CPU ms" "peak MB" faults
for command in check format load; do
  for file in empty docks; do
    if [ "$command" = load ]; then set -- "$bench" --load "$work/$file.json"
    else set -- "$build/moorline-docks" "$command" "$work/$file.json"; fi
    read -r wall cpu peak faults < <(runs_of "$@")
    [ "$file" = empty ] && { empty_wall=$wall; empty_cpu=$cpu; empty_peak=$peak; }
    printf '%-9s %-6s %9s %9s %9.1f %9s' "$command" "$file" "$wall" "$cpu" "$(calc "$peak / 1000")" "$faults"
    if [ "$file" = docks ]; then
      printf '   beyond empty: wall %+.1f ms, CPU %+.1f ms; peak %.2fx the file (%.2fx beyond empty)' \
        "$(calc "$wall - $empty_wall")" "$(calc "$cpu - $empty_cpu")" \
        "$(calc "$peak * 1024 / $size")" "$(calc "($peak - $empty_peak) * 1024 / $size")"
    fi
    echo
  done
done

echo
echo "warm, in-process (bench_DockCodecBench), the same 12 MB text:"
"$bench" --benchmark_filter='clippings' --benchmark_min_time=1 2>/dev/null | grep -E 'clippings|Benchmark'
