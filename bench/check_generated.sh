#!/usr/bin/env bash
# Sanity check of the benchmark model generator, in about a second:
#  - documents of a few sizes and seeds pass `generate_mqo --check` (CRLF line ends, balanced
#    braces, vertex/face counts equal to the lines that follow, indices in range, exact total);
#  - an awk pass, independent of the C++ checker, recounts braces, chunk lines and faces;
#  - the same size and seed give the same bytes, another seed gives other bytes.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

CXX=${CXX:-g++}
"$CXX" -std=c++20 -O2 -ffp-contract=off -o "$work/generate_mqo" "$root/bench/generate_mqo.cpp"
gen="$work/generate_mqo"

awk_check() {  # file expected_faces
  awk -v want="$2" '
    { sub(/\r$/, "") }
    {
      line = $0; gsub(/"[^"]*"/, "", line)
      depth += gsub(/\{/, "", line)
      depth -= gsub(/\}/, "", line)
      if (depth < 0) { print "awk: brace underflow at line " NR; bad = 1; depth = 0 }
    }
    counting {
      if ($0 == "\t}") {
        if (seen != expect) { print "awk: " what " count " expect ", lines " seen " (line " NR ")"; bad = 1 }
        counting = 0
      } else seen++
      next
    }
    /^\t(vertex|face) [0-9]+ \{$/ { what = $1; expect = $2 + 0; seen = 0; counting = 1
                                    if (what == "face") total += expect }
    END {
      if (depth != 0) { print "awk: unbalanced braces"; bad = 1 }
      if (total != want) { print "awk: " total " faces, " want " expected"; bad = 1 }
      if ($0 != "Eof") { print "awk: last line is not Eof"; bad = 1 }
      exit bad
    }' "$1"
}

for entry in 1:1 7:3 999:1 1000:1 1001:2 12345:1 12345:7 54321:42 120000:5; do
  faces=${entry%%:*}
  seed=${entry##*:}
  out="$work/m-$faces-$seed.mqo"
  "$gen" --faces "$faces" --seed "$seed" "$out"
  printf '%7s faces, seed %-3s ' "$faces" "$seed"
  "$gen" --check "$out" --faces "$faces"
  awk_check "$out" "$faces"
done

"$gen" --faces 12345 --seed 1 "$work/again.mqo"
cmp -s "$work/again.mqo" "$work/m-12345-1.mqo" || { echo "FAIL: same seed, different output"; exit 1; }
if cmp -s "$work/m-12345-1.mqo" "$work/m-12345-7.mqo"; then
  echo "FAIL: different seeds, same output"
  exit 1
fi
# The checker must reject a broken document.
sed '0,/^\t\t4 V/{/^\t\t4 V/d}' "$work/m-12345-1.mqo" > "$work/broken.mqo"
if "$gen" --check "$work/broken.mqo" --faces 12345 2>/dev/null; then
  echo "FAIL: the checker accepted a document with a face line missing"
  exit 1
fi
echo "generator checks passed"
