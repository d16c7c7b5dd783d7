#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: with g++ and with clang++ (warnings
# as errors), and with AddressSanitizer and UndefinedBehaviorSanitizer; then the Windows program
# under Wine (scripts/test-windows.sh); then fuzzes the converter for two minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

for preset in debug clang asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
scripts/test-windows.sh

echo "== fuzz"
scripts/fuzz.sh 120
