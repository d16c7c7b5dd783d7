#!/usr/bin/env bash
# The dialog way end to end in a real terminal: vuv2ez runs in a tmux pane of 80 by 24 cells with
# a UTF-8 locale, a file is dropped on it as terminals drop one (a bracketed paste of its quoted
# path), the check box is ticked and the button pressed; the message box is read off the screen
# and closed, the dialog is closed, and the written file must have flat normals. Then the
# interrupt key, and the cases where the dialog cannot open.
# Usage: terminal_dialog_test.sh VUV2EZ QZDUMP SOURCE_DIR
set -u
vuv2ez=$1 qzdump=$2 source=$3
command -v tmux >/dev/null || {
  echo "FAIL tmux is not installed (scripts/install-deps.sh installs it)"
  exit 1
}
unset TMUX
# A short folder, so that the dropped path fits in the dialog's fields.
work=$(mktemp -d /tmp/vuv2ez.XXXXXX)
socket="vuv2ez-test-$$"
tm() { tmux -L "$socket" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

# start NAME [ENV=VALUE...] -- [REDIRECTIONS]: runs vuv2ez with no arguments in its own tmux
# session; when it ends, its status goes to $work/NAME.status and the terminal's modes to
# $work/NAME.stty, and the pane stays for reading.
start() {
  local name=$1
  shift
  local env=() redirect=""
  while [ "$1" != "--" ]; do
    env+=("$1")
    shift
  done
  shift
  redirect=${1:-}
  {
    echo "export LANG=C.UTF-8 LC_ALL=C.UTF-8 ${env[*]}"
    printf '%q 2>%q %s\n' "$vuv2ez" "$work/$name.stderr" "$redirect"
    printf 'status=$?; stty -a >%q; echo $status >%q\n' "$work/$name.stty" "$work/$name.status"
  } >"$work/$name.sh"
  tm -f "$work/tmux.conf" new-session -d -s "$name" -x 80 -y 24 "sh $work/$name.sh"
}

screen() { tm capture-pane -p -t "$1"; }

# wait_for NAME TEXT [gone]: polls the screen until TEXT (a grep pattern) shows, or is gone.
wait_for() {
  local name=$1 text=$2 want=${3:-shown} i
  for ((i = 0; i < 100; i++)); do
    if screen "$name" | grep -q -- "$text"; then
      [ "$want" = shown ] && return 0
    else
      [ "$want" = gone ] && return 0
    fi
    sleep 0.1
  done
  fail "$name: waited 10 s for \"$text\" to be $want; the screen:"
  screen "$name" | sed 's/^/  | /'
  return 1
}

# ended NAME STATUS: waits for vuv2ez in session NAME to end and checks its status.
ended() {
  local name=$1 want=$2 i
  for ((i = 0; i < 100; i++)); do
    [ -s "$work/$name.status" ] && break
    sleep 0.1
  done
  local got
  got=$(cat "$work/$name.status" 2>/dev/null)
  if [ "$got" != "$want" ]; then
    fail "$name: exit status '${got:-none}', want $want; stderr:"
    sed 's/^/  | /' "$work/$name.stderr" 2>/dev/null
    screen "$name" | sed 's/^/  | /'
    return 1
  fi
}

paste() { tm send-keys -t "$1" -l $'\e[200~'"$2"$'\e[201~'; }

printf '%s\n' "set -g default-terminal tmux-256color" "set -g remain-on-exit on" >"$work/tmux.conf"
mkdir -p "$work/my models"
model="$work/my models/house.mqo"
cp "$source/examples/house.mqo" "$model"

# 1. Drop, tick, convert, read the message box, close it, close the dialog.
start drop --
wait_for drop "変換元 : mqo ファイルをドロップしてください"
tm send-keys -t drop Escape Tab x
wait_for drop '\[x  *\]' # Escape left the dialog open, Tab gave the source field the focus
paste drop "'$model' "
wait_for drop "\\[$model.qz  *\\]"
tm send-keys -t drop BTab Space
wait_for drop "\\[x\\] 法線をフラットシェーディング用にする"
tm send-keys -t drop BTab Enter
wait_for drop "│  変換が終了しました。  │"
wait_for drop "\\[ OK \\]"
tm send-keys -t drop Enter
wait_for drop "変換が終了しました。" gone
tm send-keys -t drop C-q
ended drop 0
[ -s "$work/drop.stderr" ] && fail "drop: something on standard error: $(cat "$work/drop.stderr")"
grep -q -- '-icanon' "$work/drop.stty" && fail "drop: the terminal was left in raw mode"
screen drop | grep -q "変換元" && fail "drop: the dialog was left on the screen"

# The file has flat normals: the same as the command line's --flat, and every corner of a face
# carries the same normal.
if [ -f "$model.qz" ]; then
  "$vuv2ez" --flat -o "$work/flat.qz" "$model" 2>/dev/null
  "$vuv2ez" -o "$work/smooth.qz" "$model" 2>/dev/null
  cmp -s "$model.qz" "$work/flat.qz" || fail "drop: the written file differs from --flat's"
  cmp -s "$model.qz" "$work/smooth.qz" && fail "drop: the written file has smooth normals"
  "$qzdump" "$model.qz" | awk '
    /^face / { face = $2; first = "" }
    /corner/ { n = $0; sub(/.*normal/, "", n); sub(/ uv.*/, "", n)
               if (first == "") first = n; else if (n != first) { print "corner differs in face " face; bad = 1 } }
    END { exit bad }' || fail "drop: normals of a face differ"
else
  fail "drop: $model.qz was not written"
fi

# 2. The interrupt key closes the dialog with status 0.
start interrupt --
wait_for interrupt "変換元"
tm send-keys -t interrupt C-c
ended interrupt 0

# 3. No dialog without a terminal or a UTF-8 locale: one line on standard error, status 1.
start no-input -- "</dev/null"
start no-output -- ">$work/no-output.out"
start no-utf8 LANG=C LC_ALL=C --
for check in "no-input:標準入力が端末ではありません" "no-output:標準出力が端末ではありません" \
  "no-utf8:UTF-8 のロケールではありません"; do
  name=${check%%:*} hint=${check#*:}
  ended "$name" 1 || continue
  lines=$(wc -l <"$work/$name.stderr")
  grep -q "^vuv2ez: 変換ダイアログを開けません: $hint" "$work/$name.stderr" && [ "$lines" = 1 ] ||
    fail "$name: standard error is not the one-line hint: $(cat "$work/$name.stderr")"
done

[ "$failures" -eq 0 ] && echo "all terminal dialog checks passed"
exit $((failures > 0))
