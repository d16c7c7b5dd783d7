#!/usr/bin/env bash
# The dialog way in a real terminal (tmux, 80x24, UTF-8): a file dropped as terminals drop one (a
# bracketed paste of its quoted path) shows as in docs/terminal-dialog.txt; keys tick the box and
# convert; the message box is read and closed, then the dialog, and the terminal is left as it was.
# Then editing a field (wide characters, a last blank kept, Escape and Enter doing nothing, a long
# path scrolled to its end), a terminal too small for the dialog until it is made larger, the
# interrupt key, and where the dialog cannot open. Usage: this VUV2EZ QZDUMP SOURCE_DIR
set -u
vuv2ez=$1 source=$3 work=$(mktemp -d /tmp/vuv2ez.XXXX) failures=0 # as long as the name in the docs' capture
tm() { tmux -L "vuv2ez-test-$$" -f "$work/tmux.conf" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "$work"' EXIT
printf 'set -g default-terminal tmux-256color\nset -g remain-on-exit on\n' >"$work/tmux.conf"
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# start NAME [REDIRECTION] [VARIABLE=VALUE] [COLUMNS ROWS]: vuv2ez in its own pane (80x24 unless
# given), which stays when it ends.
start() {
  printf 'export LANG=C.UTF-8 LC_ALL=C.UTF-8 %s\n%q 2>%q %s\ns=$?; stty -a >%q; echo $s >%q\n' "${3:-}" \
    "$vuv2ez" "$work/$1.err" "${2:-}" "$work/$1.stty" "$work/$1.status" >"$work/$1.sh"
  tm new-session -d -s "$1" -x "${4:-80}" -y "${5:-24}" "sh $work/$1.sh" || fail "tmux cannot start (scripts/install-deps.sh installs it)"
}
paste() { tm send-keys -t "$1" -l $'\e[200~'"$2"$'\e[201~'; }
screen() { tm capture-pane -p -t "$1" | sed "s|$work|/tmp/vuv2ez-demo|g; /^ *\$/d"; }
shows() { screen "$1" | grep -q -- "$2"; }
# within WHAT COMMAND...: COMMAND passes within 10 s.
within() {
  for ((i = 0; i < 100; i++)); do "${@:2}" && return 0; sleep 0.1; done
  fail "$1"
  return 1
}
# ended NAME STATUS [HINT]: vuv2ez ended with STATUS, and said nothing or one line starting HINT.
ended() {
  within "$1: vuv2ez did not end" test -s "$work/$1.status" || return
  local said="$(cat "$work/$1.status") $(cat "$work/$1.err")"
  [[ $said == "$2 ${3:-}"* && $said != *$'\n'* && ( -n ${3:-} || $said == "$2 " ) ]] || fail "$1: status and stderr: $said"
}

mkdir "$work/モデル" && cp "$source/examples/house.mqo" "$work/モデル/house.mqo"
start drop
within "drop: no dialog" shows drop "変換元"
paste drop "'$work/モデル/house.mqo' "
within "drop: not as docs/terminal-dialog.txt shows it" eval 'screen drop | cut -c13- | cmp -s - "$source/docs/terminal-dialog.txt"'
tm send-keys -t drop Escape Tab x BSpace BTab Space BTab Enter # typed and taken back; ticked; converted
within "drop: no message box over the ticked box" eval '[ "$(screen drop | grep -c -e "│  変換が終了しました。  │" -e "\[x\] 法線をフ│         \[ OK \]         │る")" = 2 ]'
tm send-keys -t drop Enter C-q
ended drop 0
grep -q -- -icanon "$work/drop.stty" && fail "drop: the terminal was left in raw mode"
shows drop "変換元" && fail "drop: the dialog was left on the screen"
"$vuv2ez" --flat -o "$work/flat.qz" "$work/モデル/house.mqo" 2>/dev/null
cmp -s "$work/モデル/house.mqo.qz" "$work/flat.qz" || fail "drop: no house.mqo.qz, or not what --flat writes"

# The destination edited: ".qz" taken back, the terminal resized (the cursor stays at the end),
# wide characters typed, one taken back, a blank last; Escape and Enter change nothing; the button
# converts to that name, blank and all. A paste with a blank in it does not close the message box
# (a blank would); Space does. Back in the field, typing goes after the blank.
start edit
within "edit: no dialog" shows edit "変換元"
paste edit "$work/モデル/house.mqo"
within "edit: the drop did not fill in the fields" shows edit "house.mqo.qz"
tm send-keys -t edit Tab Tab BSpace BSpace BSpace
tm resize-window -t edit -x 90 -y 24
within "edit: not centred anew" eval 'screen edit | grep -q "^ \{17\}┌─ VUV2EZ"'
tm send-keys -t edit -l "モデル"
tm send-keys -t edit BSpace Space Escape Enter
within "edit: the field is not as typed" shows edit "\[/tmp/vuv2ez-demo/モデル/house.mqoモデ  *\]"
tm send-keys -t edit Tab Enter
within "edit: no message box" shows edit "変換が終了しました。"
paste edit "/a b"
tm send-keys -t edit Space Tab Tab Tab x Tab Space
within "edit: the second conversion did not end" test -s "$work/モデル/house.mqoモデ x"
tm send-keys -t edit Enter
for name in "house.mqoモデ " "house.mqoモデ x"; do
  cmp -s "$work/モデル/$name" "$work/smooth.qz" 2>/dev/null ||
    "$vuv2ez" -o "$work/smooth.qz" "$work/モデル/house.mqo" 2>/dev/null
  cmp -s "$work/モデル/$name" "$work/smooth.qz" || fail "edit: \"$name\" is not house.mqo converted"
done
# A long path shows its end once its field is entered, and keeps showing it when left; a wide
# character is not cut at either end of the view.
mo() { printf 'モ%.0s' $(seq "$1"); }
paste edit "/$(mo 30).mqo"
within "edit: a dropped long path does not start in view" shows edit "\[/$(mo 23) \]"
tm send-keys -t edit Tab Tab
within "edit: a long source does not end in view" shows edit "\[$(mo 21).mqo  \]"
tm send-keys -t edit Tab
within "edit: a long destination does not end in view" shows edit "\[$(mo 20).mqo.qz \]"
shows edit "\[$(mo 21).mqo  \]" || fail "edit: a long source did not keep its view"
tm send-keys -t edit C-q
ended edit 0

# Too small a terminal says the size the dialog needs, and shows the dialog once it is made larger.
start small "" "" 40 10
within "small: no size message" shows small "端末を 56 x 13 以上にしてください。"
tm resize-window -t small -x 80 -y 24
within "small: no dialog after the terminal was made larger" shows small "変換元 : mqo"
shows small "端末を" && fail "small: the size message stayed"
tm send-keys -t small C-q
ended small 0

start interrupt
within "interrupt: no dialog" shows interrupt "変換元"
tm send-keys -t interrupt C-c
ended interrupt 0

start no-input "</dev/null"
start no-output ">/dev/null"
start no-utf8 "" "LANG=C LC_ALL=C"
ended no-input 1 "vuv2ez: 変換ダイアログを開けません: 標準入力が端末ではありません。"
ended no-output 1 "vuv2ez: 変換ダイアログを開けません: 標準出力が端末ではありません。"
ended no-utf8 1 "vuv2ez: 変換ダイアログを開けません: UTF-8 のロケールではありません"
[ "$failures" -eq 0 ] && echo "all terminal dialog checks passed"
exit $((failures > 0))
