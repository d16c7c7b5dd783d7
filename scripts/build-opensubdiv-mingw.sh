#!/usr/bin/env bash
# Cross-builds the Far, Sdc and Vtr parts of OpenSubdiv 3.5.0 (CPU only) with MinGW-w64 as one
# static library, from Debian's source package (the version the Linux build links), and installs
# it into build/opensubdiv-mingw, where the windows preset looks for it. A second run finds it
# there and does nothing. Usage: scripts/build-opensubdiv-mingw.sh
set -euo pipefail
cd "$(dirname "$0")/.."
version=3.5.0-2
prefix=$PWD/build/opensubdiv-mingw
work=$PWD/build/opensubdiv-mingw-work
# The stamp names the version and what built it: a change to either builds it again.
stamp="$version $(cat cmake/opensubdiv-mingw/CMakeLists.txt cmake/toolchain-mingw64.cmake | md5sum)"
if [ -f "$prefix/stamp" ] && [ "$(cat "$prefix/stamp")" = "$stamp" ]; then
  exit 0
fi
started=$SECONDS

scripts/install-deps.sh --source-packages dpkg-dev g++-mingw-w64-x86-64-posix
rm -rf "$prefix" "$work"
mkdir -p "$work"
(cd "$work" && apt-get source -qq "opensubdiv=$version" >/dev/null)
cmake -S cmake/opensubdiv-mingw -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
  -DOPENSUBDIV_SOURCE_DIR="$work/opensubdiv-${version%-*}" -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$work/build"
cmake --install "$work/build" >/dev/null
echo "$stamp" >"$prefix/stamp"
rm -rf "$work"
echo "OpenSubdiv $version for MinGW-w64 built in $((SECONDS - started)) s: $prefix"
