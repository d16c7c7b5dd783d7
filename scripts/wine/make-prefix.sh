#!/usr/bin/env bash
# Makes a fresh Wine prefix for the Windows tests, set up as a Japanese desktop, and leaves a
# persistent wineserver and a program holding the desktop running, so that each test program
# starts in a few hundredths of a second. Stop them with `WINEPREFIX=... wineserver -k`.
# Usage: WINEPREFIX=/path DISPLAY=:N scripts/wine/make-prefix.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?set WINEPREFIX to the prefix to make}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
# Wine's own processes must never hold our output pipes open (a caller reading to the end would
# wait for them): every call is detached from them.
quiet() { "$@" </dev/null >/dev/null 2>&1; }

quiet wineserver -k || true
if [ -e "$WINEPREFIX" ] && [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "make-prefix.sh: $WINEPREFIX exists and is not a Wine prefix; not removing it" >&2
  exit 1
fi
rm -rf "$WINEPREFIX"
quiet wineboot -i
# No window manager under Xvfb: unmanaged windows get a caption drawn by Wine and close at once
# (a managed window waits 2 s for a window manager on every hide).
quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
# The dialog's font, shown with the IPA font of fonts-ipafont-gothic.
fonts='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
quiet wine reg add "$fonts" /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f
quiet wine reg add "$fonts" /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f
quiet wine reg add "$fonts" /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic /f
# Wine draws the caption buttons with its Marlett font, one of the fonts of fonts-wine in
# /usr/share/wine/fonts. Debian's Wine 8 looks for them as "<its data folder>\../fonts\NAME", a
# name its own file lookup does not resolve (the '/' is no separator there), so it finds none of
# them and draws the buttons as letters: their folder is named again as a font path.
quiet wine reg add 'HKCU\Software\Wine\Fonts' /v Path /t REG_SZ /d 'Z:\usr\share\wine\fonts' /f
quiet wineserver -w

setsid wineserver -p </dev/null >/dev/null 2>&1
quiet wine wineboot
if [ -n "${DISPLAY:-}" ]; then
  x86_64-w64-mingw32-gcc-posix -O2 -mwindows -s -o "$WINEPREFIX/keep-desktop.exe" \
    "$here/keep-desktop.c"
  setsid wine "$WINEPREFIX/keep-desktop.exe" </dev/null >/dev/null 2>&1 &
fi
