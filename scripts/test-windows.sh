#!/usr/bin/env bash
# The Windows program: cross-builds it with MinGW-w64 (the windows preset) and runs every test of
# that build under Wine, on a virtual X display, in a fresh Wine prefix set up as a Japanese
# desktop (build/wine). Installs what is missing, as scripts/install-deps.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
phase() { echo "== windows: $1 ($((SECONDS - started)) s)"; }

scripts/install-deps.sh g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev \
  googletest wine wine64 fonts-wine libxrender1 xvfb locales fonts-ipafont-gothic

# Wine takes the ANSI code page from the locale: ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
phase "packages and locale ready"

export WINEPREFIX="$PWD/build/wine"
xvfb_pid=""
display_file=$(mktemp)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display of its own: Xvfb picks a free number and writes it once it accepts clients.
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" </dev/null \
  >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$display_file")"

mkdir -p build
scripts/wine/make-prefix.sh
phase "Wine prefix made, display $DISPLAY"

cmake --preset windows >/dev/null
cmake --build --preset windows
phase "built"
ctest --preset windows -j2
phase "tests passed"
