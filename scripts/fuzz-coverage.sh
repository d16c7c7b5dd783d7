#!/usr/bin/env bash
# Source coverage that the fuzz corpus reaches: builds the fuzz targets with clang's source-based
# coverage (preset "fuzz-coverage", no sanitizers), runs every input of build/fuzz/corpus-* and
# the seeds once, and prints llvm-cov's report for the reader and the writer.
# Usage: scripts/fuzz-coverage.sh          (after scripts/fuzz.sh has grown a corpus)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh llvm-14 >/dev/null
cmake --preset fuzz-coverage >/dev/null
cmake --build --preset fuzz-coverage --target fuzz_text fuzz_file >/dev/null

out=build/fuzz-coverage
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/seeds" "$scratch/tmp"
find tests/data examples fuzz/seeds -type f \( -name '*.mqo' -o -name '*.mqoz' \
  -o \( -path '*fuzz_regressions*' ! -name README.md \) \) -exec cp {} "$scratch/seeds/" \;
inputs=("$scratch/seeds")
if [ -d ../shared/corpus ]; then inputs+=(../shared/corpus); fi

for target in fuzz_text fuzz_file; do
  corpus=()
  if [ -d "build/fuzz/corpus-$target" ]; then corpus=("build/fuzz/corpus-$target"); fi
  TMPDIR="$scratch/tmp" LLVM_PROFILE_FILE="$scratch/$target.profraw" \
    "$out/bin/$target" -runs=0 "${corpus[@]}" "${inputs[@]}" >"$out/$target.log" 2>&1
done
llvm-profdata-14 merge -o "$scratch/all.profdata" "$scratch"/*.profraw
llvm-cov-14 report "$out/bin/fuzz_file" -object "$out/bin/fuzz_text" \
  -instr-profile="$scratch/all.profdata" "$PWD/reader" "$PWD/writer"
