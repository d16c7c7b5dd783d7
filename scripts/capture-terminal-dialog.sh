#!/usr/bin/env bash
# Writes docs/terminal-dialog.txt: the conversion dialog in an 80x24 terminal (tmux) just after
# a file was dropped on it, as a terminal delivers a drop (a bracketed paste of the quoted path).
# Usage: scripts/capture-terminal-dialog.sh [VUV2EZ]   (default: builds the release preset)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ge 1 ]; then
  vuv2ez=$(realpath "$1")
else
  scripts/install-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release >/dev/null
  vuv2ez=$PWD/build/release/bin/vuv2ez
fi

unset TMUX
demo=/tmp/vuv2ez-demo # a fixed folder, so that the capture does not change from run to run
socket="vuv2ez-capture-$$"
tm() { tmux -L "$socket" -f /dev/null "$@"; }
trap 'tm kill-server 2>/dev/null || true; rm -rf "$demo"' EXIT
rm -rf "$demo"
mkdir -p "$demo/モデル"
cp examples/house.mqo "$demo/モデル/house.mqo"

# until_shown PATTERN: waits for PATTERN on the screen, at most 10 s.
until_shown() {
  for ((i = 0; i < 100; i++)); do
    tm capture-pane -p -t capture | grep -q -- "$1" && return 0
    sleep 0.1
  done
  echo "the dialog did not show \"$1\"" >&2
  exit 1
}

tm new-session -d -s capture -x 80 -y 24 "LANG=C.UTF-8 LC_ALL=C.UTF-8 $(printf %q "$vuv2ez")"
until_shown "変換元"
tm send-keys -t capture -l $'\e[200~'"'$demo/モデル/house.mqo' "$'\e[201~'
until_shown "house.mqo.qz"

# The screen without its blank rows and with the dialog's left margin taken away.
tm capture-pane -p -t capture | awk '
  NF { rows[++n] = $0; match($0, /^ */); if (n == 1 || RLENGTH < indent) indent = RLENGTH }
  END { for (i = 1; i <= n; i++) print substr(rows[i], indent + 1) }' >docs/terminal-dialog.txt
tm send-keys -t capture C-q
cat docs/terminal-dialog.txt
