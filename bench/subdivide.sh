#!/usr/bin/env bash
# Times vuv2ez --subdivide against the plain conversion: the corpus's Catmull-Clark document and
# generated Catmull-Clark models (generate_mqo --patch) of 25k to 200k faces, each converted
# RUNS times (default 7) to a destination in /dev/shm (memory, so the disk's writeback stays
# out of the figures), printing per case the median wall and CPU time, the peak RSS and the
# output's size as a Markdown table, with the CPU time per output record.
# Usage: bench/subdivide.sh [RUNS]   (after cmake --build --preset release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
work=$root/build/bench/subdivide shm=$(mktemp -d /dev/shm/vuv2ez-subdivide.XXXXXX)
trap 'rm -rf "$shm"' EXIT
mkdir -p "$work"
g++ -std=c++20 -O2 -ffp-contract=off -o "$work/generate_mqo" "$root/bench/generate_mqo.cpp"
g++ -std=c++20 -O2 -o "$work/measure_run" "$root/bench/measure_run.cpp"
vuv2ez=$root/build/release/bin/vuv2ez
models=()
corpus=$root/../shared/corpus/v10_kattun_maid_leftleg_patch3.mqo
[ -f "$corpus" ] && cp "$corpus" "$shm/corpus-patch3.mqo" && models+=(corpus-patch3)
for faces in 25000 50000 100000 200000; do
  "$work/generate_mqo" --faces $faces --seed 1 --patch "$shm/cc$faces.mqo"
  models+=(cc$faces)
done
echo "| model | option | median wall | median CPU | peak RSS MB | output bytes | records | CPU ns/record |"
echo "|---|---|---:|---:|---:|---:|---:|---:|"
for m in "${models[@]}"; do
  for option in "" --subdivide; do
    results=$(for _ in $(seq "$runs"); do
      rm -f "$shm/out.qz"
      "$work/measure_run" "$vuv2ez" $option -q -o "$shm/out.qz" "$shm/$m.mqo"
    done)
    bytes=$(stat -c %s "$shm/out.qz")
    records=$("$root/build/release/bin/qzdump" --summary "$shm/out.qz" | sed -n 3p | cut -d" " -f2)
    median() { sort -g | sed -n "$(( (runs + 1) / 2 ))p"; }
    wall=$(cut -d' ' -f1 <<<"$results" | median) cpu=$(cut -d' ' -f4 <<<"$results" | median)
    rss=$(cut -d' ' -f2 <<<"$results" | sort -g | tail -n 1)
    awk -v m="$m" -v o="${option:-(none)}" -v w="$wall" -v c="$cpu" -v r="$rss" -v b="$bytes" \
      -v n="$records" 'BEGIN { printf "| %s | %s | %.3f s | %.3f s | %.1f | %d | %d | %.0f |\n",
        m, o, w, c, r / 1e6, b, n, c * 1e9 / n }'
  done
done
echo
echo "load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
