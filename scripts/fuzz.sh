#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz") and runs both for SECONDS each, side by side, seeded
# with the project's own documents and ../shared/corpus/ when present. Fails on any crash,
# failed check, leak, sanitizer report, timeout or out-of-memory; what libFuzzer found is kept in
# build/fuzz/findings/ (copy it into tests/data/fuzz_regressions/ once fixed).
# Usage: scripts/fuzz.sh [SECONDS]      (default 60; CI runs 120)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_text fuzz_file

out=build/fuzz
mkdir -p "$out/findings"
# Scratch files live in memory when possible: every execution writes and replaces files, and on
# a disk each replacement waits for the new file's blocks.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch=$(mktemp -d -p /dev/shm)
else
  scratch=$(mktemp -d)
fi
trap 'rm -rf "$scratch"' EXIT

# Seeds: every fixture, example and past finding, two small archives (fuzz/seeds/), and the real
# documents beside the repository.
seeds=("$scratch/seeds")
mkdir -p "${seeds[0]}"
find tests/data examples fuzz/seeds -type f \( -name '*.mqo' -o -name '*.mqoz' \
  -o \( -path '*fuzz_regressions*' ! -name README.md \) \) -exec cp {} "${seeds[0]}/" \;
if [ -d ../shared/corpus ]; then seeds+=(../shared/corpus); fi

# -max_len keeps executions fast; longer seeds are read in part. -timeout is per input,
# -rss_limit_mb and -malloc_limit_mb bound memory; leaks are reported at the end of each input.
run() {
  local target=$1
  mkdir -p "$out/corpus-$target"
  TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$out/bin/$target" "$out/corpus-$target" "${seeds[@]}" \
    -dict=fuzz/mqo.dict -max_total_time="$seconds" -max_len=16384 -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 -detect_leaks=1 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$target-" >"$out/$target.log" 2>&1
}

status=0
run fuzz_text &
text=$!
run fuzz_file &
file=$!
wait "$text" || status=1
wait "$file" || status=1

# A summary: coverage at the start and at the end (edges "cov", features "ft"), and the totals.
for target in fuzz_text fuzz_file; do
  echo "== $target"
  grep -E '^#[0-9]+[[:space:]]+INITED' "$out/$target.log" | tail -n 1 || true
  grep -E '^#[0-9]+[[:space:]].* cov: ' "$out/$target.log" | tail -n 1 || true
  grep -E '^(Done [0-9]+ runs|stat::(average_exec_per_sec|peak_rss_mb))' "$out/$target.log" || true
done
if [ "$status" -ne 0 ]; then
  echo "fuzzing found a problem; the logs:" >&2
  for target in fuzz_text fuzz_file; do
    grep -E -A 30 'ERROR|SUMMARY|conversion check failed|Test unit written' "$out/$target.log" \
      | head -n 80 >&2 || true
  done
  ls -l "$out/findings" >&2
fi
exit "$status"
