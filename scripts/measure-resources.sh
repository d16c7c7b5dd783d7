#!/usr/bin/env bash
# Measures the release converter on large stress documents: wall time, processor time and peak
# resident memory (GNU time) for each kind at each size, to show that both grow linearly.
# The resident figure includes the source file, which is mapped whole.
# Usage: [KINDS="kind..."] scripts/measure-resources.sh [MB...]
#   default sizes 25 50 100 (1 MB = 1,000,000 bytes); kinds: the named rows of tests/hostile_documents.h.
# Needs a few GB free in $TMPDIR for the outputs, and memory: a declared material table takes
# about 104 bytes per byte of text (10 GB at 100 MB), so "materials" is best measured smaller.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(25 50 100)

scripts/install-deps.sh time >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release --target vuv2ez make_stress_document >/dev/null
bin=build/release/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "vuv2ez $(git rev-parse --short HEAD 2>/dev/null || echo '?'), release build, $(nproc) cores"
printf '%-13s %5s %8s %8s %9s %7s  %s\n' kind MB wall_s cpu_s peak_MiB B/byte outcome
kinds=(${KINDS:-quoted delimiters corners objects count-quoted tiny-faces materials vertices})
for kind in "${kinds[@]}"; do
  for mb in "${sizes[@]}"; do
    "$bin/make_stress_document" "$kind" $((mb * 1000000)) "$work/doc.mqo"
    bytes=$(stat -c %s "$work/doc.mqo")
    set +e
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$bin/vuv2ez" -o "$work/doc.qz" \
      "$work/doc.mqo" 2>"$work/err"
    set -e
    read -r wall user system kib < <(tail -n 1 "$work/time")
    outcome=$(tail -n 1 "$work/err" | sed 's/^VUV2EZ: //')
    [ -f "$work/doc.qz" ] && outcome="$outcome ($(stat -c %s "$work/doc.qz") bytes written)"
    awk -v kind="$kind" -v mb="$mb" -v w="$wall" -v u="$user" -v s="$system" -v k="$kib" \
      -v b="$bytes" -v o="$outcome" \
      'BEGIN { printf "%-13s %5s %8.2f %8.2f %9.1f %7.1f  %s\n", kind, mb, w, u + s, k / 1024,
               k * 1024 / b, o }'
    rm -f "$work/doc.mqo" "$work/doc.qz"
  done
done
