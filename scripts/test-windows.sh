#!/usr/bin/env bash
# The Windows program: cross-builds it with MinGW-w64 (the windows preset) and runs every test of
# that build under Wine, on a virtual X display, in a fresh Wine prefix set up as a Japanese
# desktop (build/wine). Installs what is missing, as scripts/install-deps.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine/session.sh
started=$SECONDS
phase() { echo "== windows: $1 ($((SECONDS - started)) s)"; }

scripts/install-deps.sh "${wine_session_packages[@]}"
wine_session_start
phase "Wine ready on display $DISPLAY"
cmake --preset windows >/dev/null
cmake --build --preset windows
phase "built"
ctest --preset windows -j2
phase "tests passed"
cmake --build --preset windows --target package >/dev/null
contents=$(unzip -Z1 build/windows/vuv2ez-*-windows-x86_64.zip | sort | xargs)
[ "$contents" = "LICENSE README.md qzdump.exe vuv2ez.exe" ] || { echo "the .zip holds: $contents"; exit 1; }
phase "packaged: $contents"
