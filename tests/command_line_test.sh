#!/usr/bin/env bash
# The command-line program end to end: messages, exit statuses and what is written.
# Usage: command_line_test.sh VUV2EZ QZDUMP SOURCE_DIR
set -u
vuv2ez=$1 qzdump=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME STATUS STDERR -- command...; with first_line=1 set, only stderr's first line counts.
expect() {
  local name=$1 status=$2 message=$3
  shift 4
  local out actual
  out=$("$@" 2>&1 >/dev/null)
  actual=$?
  [ -n "${first_line:-}" ] && out=$(printf '%s\n' "$out" | head -n 1)
  if [ "$actual" != "$status" ] || [ "$out" != "$message" ]; then
    echo "FAIL $name: status $actual (want $status), stderr:"
    printf '%s\n' "$out" | sed 's/^/  | /'
    echo "  want:"
    printf '%s\n' "$message" | sed 's/^/  | /'
    failures=$((failures + 1))
  fi
}

done_msg="VUV2EZ: 変換が終了しました。"
read_msg="VUV2EZ: ファイルの読み込みに失敗しました。"
mqo_msg="VUV2EZ: MQO フォーマットではありません。"
write_msg="VUV2EZ: ファイルの書き込みに失敗しました。"

cp "$source/examples/house.mqo" "$work/house.mqo"
: > "$work/empty.mqo"
printf 'Metasequoia\n' > "$work/bare.mqo"

expect "converts to FILE.qz" 0 "$done_msg" -- "$vuv2ez" "$work/house.mqo"
[ -s "$work/house.mqo.qz" ] || { echo "FAIL no house.mqo.qz"; failures=$((failures + 1)); }
expect "missing file" 1 "$read_msg" -- "$vuv2ez" "$work/missing.mqo"
expect "empty file" 1 "$mqo_msg" -- "$vuv2ez" "$work/empty.mqo"
expect "several files, one failing" 1 "$done_msg
$read_msg
$done_msg" -- "$vuv2ez" "$work/house.mqo" "$work/missing.mqo" "$work/bare.mqo"
expect "unwritable destination" 1 "$write_msg" -- "$vuv2ez" -o "$work/no/such/folder/x.qz" "$work/house.mqo"
first_line=1 expect "-o with two files" 2 "vuv2ez: -o names the destination of one file only" -- "$vuv2ez" -o x.qz a.mqo b.mqo
first_line=1 expect "unknown option" 2 "vuv2ez: unknown option --bogus" -- "$vuv2ez" --bogus a.mqo
first_line=1 expect "-o without a path" 2 "vuv2ez: -o needs a path" -- "$vuv2ez" a.mqo -o
expect "help" 0 "" -- "$vuv2ez" --help
expect "version" 0 "" -- "$vuv2ez" --version
"$vuv2ez" --help | grep -q -- '--flat' || { echo "FAIL help does not list --flat"; failures=$((failures + 1)); }
expect "options end at --" 1 "$read_msg" -- "$vuv2ez" -- --flat

# Smooth by default, flat with --flat; -o names the destination.
expect "flat" 0 "$done_msg" -- "$vuv2ez" --flat -o "$work/flat.qz" "$work/house.mqo"
cmp -s "$work/flat.qz" "$work/house.mqo.qz" && { echo "FAIL flat output equals smooth output"; failures=$((failures + 1)); }
"$qzdump" --summary "$work/flat.qz" | grep -q '^faces 10 ' || { echo "FAIL qzdump summary of flat.qz"; failures=$((failures + 1)); }

# qzdump: an OBJ with one group per object, 4 v/vn/vt per record; triangles stay triangles.
"$qzdump" --obj "$work/house.obj" "$work/house.mqo.qz" || { echo "FAIL qzdump --obj"; failures=$((failures + 1)); }
obj_counts=$(printf '%s ' "$(grep -c '^g ' "$work/house.obj")" "$(grep -c '^v ' "$work/house.obj")" \
  "$(grep -c '^f [^ ]* [^ ]* [^ ]*$' "$work/house.obj")" "$(grep -c '^f [^ ]* [^ ]* [^ ]* [^ ]*$' "$work/house.obj")")
[ "$obj_counts" = "2 40 4 6 " ] || { echo "FAIL obj groups/vertices/triangles/quads: $obj_counts"; failures=$((failures + 1)); }
head -c 100 "$work/house.mqo.qz" > "$work/cut.qz"
expect "qzdump on a truncated file" 1 "qzdump: $work/cut.qz: object table runs past the end of the file" -- "$qzdump" "$work/cut.qz"
expect "qzdump on a model file" 1 "qzdump: $work/house.mqo: not a QZ file (magic is not \"QZF\")" -- "$qzdump" "$work/house.mqo"

# The golden files hold what this program writes (the Windows program's tests compare its output
# with them too): the cube, smooth by default and flat with --flat.
golden() { printf "$(sed 's/#.*//' "$1" | tr -s ' \n' '\n' | grep . | sed 's/^/\\x/' | tr -d '\n')"; }
cp "$source/tests/data/golden/cube.mqo" "$work/cube.mqo"
for mode in smooth flat; do
  flag=()
  [ "$mode" = flat ] && flag=(--flat)
  "$vuv2ez" "${flag[@]}" -o "$work/cube.$mode.qz" "$work/cube.mqo" 2>/dev/null
  golden "$source/tests/data/golden/cube.$mode.hex" > "$work/cube.$mode.golden"
  cmp -s "$work/cube.$mode.qz" "$work/cube.$mode.golden" ||
    { echo "FAIL cube.mqo ($mode) differs from its golden file"; failures=$((failures + 1)); }
done

# A failed conversion leaves an existing destination alone.
printf 'keep me' > "$work/keep.qz"
expect "not MQO keeps destination" 1 "$mqo_msg" -- "$vuv2ez" -o "$work/keep.qz" "$work/empty.mqo"
[ "$(cat "$work/keep.qz")" = "keep me" ] || { echo "FAIL keep.qz changed"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "all command-line checks passed"
exit $((failures > 0))
