#!/usr/bin/env bash
# Installs what is missing, checks that every C++ file is clang-formatted, then builds and runs
# every test (the include layering among them, cmake/CheckIncludes.cmake): with g++ and with
# clang++ (warnings as errors), and with AddressSanitizer and UndefinedBehaviorSanitizer; then the
# Windows program under Wine (scripts/test-windows.sh); then fuzzes the converter for two minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for preset in debug clang asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done

echo "== install and package"
prefix=$(mktemp -d)
cmake --install build/debug --prefix "$prefix" >/dev/null
for file in share/man/man1/vuv2ez.1.gz share/man/man1/qzdump.1.gz share/doc/vuv2ez/LICENSE \
  share/doc/vuv2ez/copyright; do
  [ -s "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
"$prefix/bin/vuv2ez" -o "$prefix/house.qz" examples/house.mqo
"$prefix/bin/qzdump" --summary "$prefix/house.qz" | head -n 3
(cd build/debug && cpack -G DEB >/dev/null) && dpkg-deb -f build/debug/vuv2ez_*.deb Depends
dpkg-deb -c build/debug/vuv2ez_*.deb | grep ' \./usr/share/doc/vuv2ez/copyright$' >/dev/null ||
  { echo "the .deb has no copyright file"; exit 1; }
rm -rf "$prefix"
scripts/test-windows.sh

echo "== fuzz"
scripts/fuzz.sh 120
