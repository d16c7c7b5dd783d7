#!/usr/bin/env bash
# The command-line programs end to end, as one table: each row runs vuv2ez or qzdump and checks
# its exit status and standard error, that the files it may write hold exactly the expected bytes
# (golden files), and that nothing else in the scratch tree (working folder and $TMPDIR included)
# was created, changed or removed: a failed conversion leaves an existing destination as it was
# and no temporary file behind. Read-only folders and full file systems are real mounts: the
# script runs itself in a private mount namespace where it can.
# Usage: command_line_test.sh VUV2EZ QZDUMP SOURCE_DIR
set -u
if [ -z "${VUV2EZ_IN_NAMESPACE:-}" ]; then
  for how in "unshare --mount --propagation private" "unshare -r --mount --propagation private"; do
    $how true 2>/dev/null && VUV2EZ_IN_NAMESPACE=1 exec $how "$0" "$@"
  done
fi
vuv2ez=$(realpath "$1") qzdump=$(realpath "$2") source=$3
w=$(mktemp -d)
trap 'umount "$w/ro" "$w/small" 2>/dev/null; chmod -R u+w "$w"; rm -rf "$w"' EXIT
failures=0
done="VUV2EZ: 変換が終了しました。" read="VUV2EZ: ファイルの読み込みに失敗しました。"
notmqo="VUV2EZ: MQO フォーマットではありません。" write="VUV2EZ: ファイルの書き込みに失敗しました。"
usage=$("$vuv2ez" --help)

mkdir -p "$w/cwd" "$w/tmp" "$w/m" "$w/out" "$w/ro" "$w/small" "$w/out/a folder" "$w/ref"
golden() { printf "$(sed 's/#.*//' "$1" | tr -s ' \n' '\n' | grep . | sed 's/^/\\x/' | tr -d '\n')"; }
for mode in smooth flat; do golden "$source/tests/data/golden/cube.$mode.hex" >"$w/ref/$mode"; done
golden "$source/tests/data/golden/empty.smooth.hex" >"$w/ref/empty"
golden "$source/tests/data/golden/textures.smooth.hex" >"$w/ref/textures"
cp "$source/tests/data/golden/cube.mqo" "$w/m/cube.mqo"
: >"$w/m/empty.mqo"
printf 'Metasequoia\n' >"$w/m/bare.mqo"
{ # 1,000 triangles: a 168 KB output
  printf 'Metasequoia\nObject "big" {\n vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n face 1000 {\n'
  for ((i = 0; i < 1000; i++)); do printf ' 3 V(0 1 2)\n'; done
  printf ' }\n}\n'
} >"$w/m/big.mqo"
for d in out ro small; do printf 'keep me\n' >"$w/$d/keep.qz"; done
mkfifo "$w/out/fifo.qz" "$w/m/fifo.mqo"
ln -s "$w/nowhere/x.qz" "$w/out/dangling.qz"
printf 'old\n' >"$w/out/real.qz" && chmod 640 "$w/out/real.qz" && ln -s real.qz "$w/out/link.qz"
ln -s "$w/m/gone.mqo" "$w/m/dangling.mqo"
mknod "$w/out/null" c 1 3 2>/dev/null # a copy of /dev/null: as root, -o /dev/null would replace it
segment=$(printf 'd%.0s' {1..220})
long=$(printf "/$segment%.0s" {1..5}) longer=$(printf "/$segment%.0s" {1..14})
mkdir -p "$w/m$long"
cp "$w/m/cube.mqo" "$w/m$long/cube.mqo"
(cd "$w/m$long" && for _ in {1..14}; do mkdir "$segment" && cd "$segment" || exit 1; done &&
  cp "$w/m/cube.mqo" . && printf 'keep\n' >keep.qz) # 4,096 bytes and more: made step by step
names=("with spaces .mqo" "quote\"d 'both' .mqo" "日本語のモデル　全角.mqo" "-leading-dash.mqo")
for name in "${names[@]}"; do cp "$w/m/cube.mqo" "$w/m/$name"; done
if [ -n "${VUV2EZ_IN_NAMESPACE:-}" ]; then
  mount -t tmpfs -o size=64k tmpfs "$w/small" && cp "$w/out/keep.qz" "$w/small/keep.qz"
  mount --bind "$w/ro" "$w/ro" && mount -o remount,bind,ro "$w/ro" "$w/ro"
elif [ "$(id -u)" != 0 ]; then
  chmod a-w "$w/ro"
fi

# Folders without their times and sizes, which a temporary file coming and going changes.
snapshot() {
  find "$w" -path "$w/ref" -prune -o \( -type d -printf 'd %m %P\n' \) -o -printf '%y %m %s %T@ %i %P\n' |
    LC_ALL=C sort
}

# row NAME STATUS STDERR WRITES -- COMMAND...: WRITES is "-" or FILE=REFERENCE pairs joined by "|"
# (paths in the scratch tree): the only files the command may create or change, and their bytes.
# A replaced file keeps its permissions.
write_modes() { for pair in "${writes[@]}"; do stat -L -c '%n %a' "$w/${pair%%=*}" 2>/dev/null; done; }
row() {
  local name=$1 status=$2 message=$3 writes=$4 before after out actual problems=() pair modes
  shift 5
  [ "$writes" = - ] && writes=""
  IFS='|' read -ra writes <<<"$writes"
  before=$(snapshot) modes=$(write_modes)
  out=$(cd "${CWD:-$w/cwd}" && TMPDIR="$w/tmp" timeout 20 "$@" 2>&1 >/dev/null)
  actual=$?
  after=$(snapshot)
  [ "$actual" = "$status" ] || problems+=("exit status $actual, want $status")
  [ "$out" = "$message" ] || problems+=("standard error: $out")
  [ -z "$(grep -v -x -F -f <(write_modes) <<<"$modes")" ] || problems+=("permissions changed")
  for pair in "${writes[@]}"; do
    cmp -s "$w/${pair%%=*}" "$w/${pair#*=}" || problems+=("${pair%%=*} missing or wrong")
    before=$(grep -v -F " ${pair%%=*}" <<<"$before") after=$(grep -v -F " ${pair%%=*}" <<<"$after")
  done
  [ "$before" = "$after" ] ||
    problems+=("the tree changed: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]' | head -n 4)")
  [ ${#problems[@]} -eq 0 ] && return
  echo "FAIL $name"
  printf '  %s\n' "${problems[@]}"
  failures=$((failures + 1))
}
mounted() { [ -n "${VUV2EZ_IN_NAMESPACE:-}" ] || { echo "SKIP $1: no mount namespace"; false; }; }

row "smooth by default" 0 "$done" m/cube.mqo.qz=ref/smooth -- "$vuv2ez" "$w/m/cube.mqo"
row "flat, --output" 0 "$done" out/f.qz=ref/flat -- "$vuv2ez" --output "$w/out/f.qz" "$w/m/cube.mqo" --flat
row "a file a line" 1 "$done"$'\n'"$read"$'\n'"$done" "m/cube.mqo.qz=ref/smooth|m/bare.mqo.qz=ref/empty" -- \
  "$vuv2ez" "$w/m/cube.mqo" "$w/m/missing.mqo" "$w/m/bare.mqo"
row "empty source" 1 "$notmqo" - -- "$vuv2ez" -o "$w/out/keep.qz" "$w/m/empty.mqo"
for from in missing.mqo "" fifo.mqo dangling.mqo /dev/zero "$long$longer/cube.mqo"; do
  [[ "$from" == /dev/* ]] || from=$w/m/$from
  row "source [${from:0:60}]" 1 "$read" - -- "$vuv2ez" -o "$w/out/keep.qz" "$from"
done
row "source of 1,100 bytes" 0 "$done" "m$long/cube.mqo.qz=ref/smooth" -- "$vuv2ez" "$w/m$long/cube.mqo"
for to in "out/no such folder/x.qz" "out/a folder" out/dangling.qz out/fifo.qz out/null \
  "m$long$longer/keep.qz"; do
  [ "$to" = out/null ] && [ ! -c "$w/out/null" ] && continue
  row "destination [${to:0:60}]" 1 "$write" - -- "$vuv2ez" -o "$w/$to" "$w/m/cube.mqo"
done
row "destination []" 1 "$write" - -- "$vuv2ez" -o "" "$w/m/cube.mqo"
row "disk full (file size limit)" 1 "$write" - -- bash -c 'trap "" XFSZ; ulimit -f 64; exec "$@"' _ \
  "$vuv2ez" -o "$w/out/keep.qz" "$w/m/big.mqo"
mounted "full disk" && row "disk full (64 KiB)" 1 "$write" - -- "$vuv2ez" -o "$w/small/keep.qz" "$w/m/big.mqo"
[ "$(id -u)" = 0 ] && [ -z "${VUV2EZ_IN_NAMESPACE:-}" ] && echo "SKIP read-only folder: running as root" ||
  row "read-only folder" 1 "$write" - -- "$vuv2ez" -o "$w/ro/keep.qz" "$w/m/cube.mqo"
row "-o through a link" 0 "$done" out/real.qz=ref/smooth -- "$vuv2ez" -o "$w/out/link.qz" "$w/m/cube.mqo"
for name in "${names[@]}"; do
  row "source [$name]" 0 "$done" "m/$name.qz=ref/smooth" -- "$vuv2ez" -- "$w/m/$name"
  row "-o [$name]" 0 "$done" "out/$name=ref/smooth" -- "$vuv2ez" -o "$w/out/$name" "$w/m/cube.mqo"
done
CWD=$w/m row "relative -o -x.qz" 0 "$done" m/-x.qz=ref/smooth -- "$vuv2ez" -o -x.qz -- -leading-dash.mqo
row "options end at --" 1 "$read" - -- "$vuv2ez" -- --flat
row "- is a file" 1 "$read" - -- "$vuv2ez" -
for args in "-o x.qz a.mqo b.mqo|-o names the destination of one file only" \
  "--bogus a.mqo|unknown option --bogus" "a.mqo -o|-o needs a path" "--flat|no file to convert" \
  "-o x -o y a.mqo|only one -o may be given"; do
  row "usage: ${args%|*}" 2 "vuv2ez: ${args#*|}"$'\n'"$usage" - -- "$vuv2ez" ${args%|*}
done
row "help" 0 "" - -- "$vuv2ez" a.mqo --help --version
row "version" 0 "" - -- "$vuv2ez" --version
[[ "$usage" == *--flat*-o,\ --output* ]] || { echo "FAIL help lists no options"; failures=$((failures + 1)); }

head -c 100 "$w/ref/smooth" >"$w/out/cut.qz"
row "qzdump, truncated" 1 "qzdump: $w/out/cut.qz: object table runs past the end of the file" - -- \
  "$qzdump" "$w/out/cut.qz"
row "qzdump, not QZ" 1 "qzdump: $w/m/cube.mqo: not a QZ file (magic is not \"QZF\")" - -- "$qzdump" "$w/m/cube.mqo"
qusage=$'usage: qzdump [--summary] FILE.qz\n       qzdump --obj OUT.obj FILE.qz'
row "qzdump, no file" 2 "$qusage" - -- "$qzdump" --summary
row "qzdump, unknown option" 2 "$qusage" - -- "$qzdump" --bogus "$w/ref/smooth"
row "qzdump, missing file" 1 "qzdump: $w/none.qz: cannot be read" - -- "$qzdump" "$w/none.qz"
"$qzdump" "$w/ref/textures" | cmp -s - "$source/tests/data/golden/textures.smooth.dump" ||
  { echo "FAIL qzdump's listing differs from tests/data/golden/textures.smooth.dump"; failures=$((failures + 1)); }
row "qzdump --obj" 0 "" out/c.obj=out/c.obj -- "$qzdump" --obj "$w/out/c.obj" "$w/ref/smooth" # any bytes
# One group per object; 4 v, vt and vn per record; the cube's six quads stay quads.
counts=$(for p in 'g ' 'v ' 'vt ' 'vn ' 'f [^ ]* [^ ]* [^ ]* [^ ]*$'; do grep -c "^$p" "$w/out/c.obj"; done | xargs)
[ "$counts" = "1 24 24 24 6" ] || { echo "FAIL obj counts: $counts"; failures=$((failures + 1)); }
[ "$("$qzdump" --summary "$w/ref/flat" | sed -n 3p)" = "faces 6 (data 1008 bytes at 108)" ] ||
  { echo "FAIL qzdump --summary"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "all command-line rows passed"
exit $((failures > 0))
