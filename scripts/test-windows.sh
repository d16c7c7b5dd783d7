#!/usr/bin/env bash
# The Windows program: cross-builds it with MinGW-w64 (the windows preset) and runs every test of
# that build under Wine, on a virtual X display, in a fresh Wine prefix set up as a Japanese
# desktop (build/wine). Installs what is missing, as scripts/install-deps.sh does, and cross-builds
# OpenSubdiv once (scripts/build-opensubdiv-mingw.sh; a rerun finds it in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine/session.sh
started=$SECONDS
phase() { echo "== windows: $1 ($((SECONDS - started)) s)"; }

scripts/install-deps.sh "${wine_session_packages[@]}"
scripts/build-opensubdiv-mingw.sh
phase "OpenSubdiv for MinGW-w64 in build/opensubdiv-mingw"
wine_session_start
phase "Wine ready on display $DISPLAY"
cmake --preset windows >/dev/null
cmake --build --preset windows
phase "built"
ctest --preset windows -j2
phase "tests passed"
cmake --build --preset windows --target package >/dev/null
contents=$(unzip -Z1 build/windows/vuv2ez-*-windows-x86_64.zip | sort | xargs)
expected=$(printf '%s\n' LICENSE README.md qzdump.exe vuv2ez.exe vuv2ez.ini OpenSubdiv-LICENSE.txt \
  OpenSubdiv-NOTICE.txt | sort | xargs)
[ "$contents" = "$expected" ] || { echo "the .zip holds: $contents"; exit 1; }
phase "packaged: $contents"
