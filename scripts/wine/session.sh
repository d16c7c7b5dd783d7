# Sourced by the scripts that run the Windows program under Wine. wine_session_start gives them a
# Japanese desktop: the ja_JP.UTF-8 locale (Wine takes the ANSI code page, 932, from it), a
# virtual X display of their own, and a fresh Wine prefix in build/wine; it stops Wine and the
# display when the script exits, however it ends.

# The packages it needs, for scripts/install-deps.sh.
wine_session_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  googletest wine wine64 fonts-wine libxrender1 xvfb locales fonts-ipafont-gothic unzip)

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${wine_session_xvfb:-}" ]; then kill "$wine_session_xvfb" 2>/dev/null || true; fi
  rm -f "${wine_session_display_file:-}"
}

wine_session_start() {
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
      echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi

  export WINEPREFIX="$PWD/build/wine"
  trap wine_session_stop EXIT
  trap 'exit 130' INT TERM
  # Xvfb picks a free display and writes its number once it accepts clients.
  wine_session_display_file=$(mktemp)
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_session_display_file" \
    </dev/null >/dev/null 2>&1 &
  wine_session_xvfb=$!
  for _ in $(seq 100); do [ -s "$wine_session_display_file" ] && break; sleep 0.1; done
  if [ ! -s "$wine_session_display_file" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$wine_session_display_file")"

  mkdir -p build
  scripts/wine/make-prefix.sh
}
