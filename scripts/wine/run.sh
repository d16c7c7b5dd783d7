#!/bin/sh
# Runs a Windows program under Wine as on a Japanese desktop: the ANSI code page 932 comes from
# the locale. The prefix must have been made by scripts/wine/make-prefix.sh (default: build/wine
# of this checkout); GUI programs need DISPLAY.
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/../../build/wine}"
export WINEPREFIX
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run.sh: no Wine prefix at $WINEPREFIX (scripts/wine/make-prefix.sh makes one)" >&2
  exit 125
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL=ja_JP.UTF-8
[ -n "${DISPLAY:-}" ] || echo "run.sh: DISPLAY is not set: no window can be created" >&2
exec wine "$@"
