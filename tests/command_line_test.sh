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
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# The lines that report a file, and the reasons they give.
converted() { echo "VUV2EZ: $1: 変換が終了しました。"; }
unread() { echo "VUV2EZ: $1: ファイルの読み込みに失敗しました。$2"; }
unwritten() { echo "VUV2EZ: $1: ファイルの書き込みに失敗しました。$2"; }
missing="ファイルまたはフォルダーがありません。" folder="ファイルではなくフォルダーです。"
special="通常のファイルではありません。" full="ディスクがいっぱいです。" toolong="パスが長すぎます。"
usage=$("$vuv2ez" --help)

mkdir -p "$w/cwd" "$w/tmp" "$w/m" "$w/out" "$w/ro" "$w/small" "$w/out/a folder" "$w/ref"
golden() { printf "$(sed 's/#.*//' "$1" | tr -s ' \n' '\n' | grep . | sed 's/^/\\x/' | tr -d '\n')"; }
for ref in smooth=cube.smooth flat=cube.flat empty=empty.smooth textures=textures.smooth; do
  golden "$source/tests/data/golden/${ref#*=}.hex" >"$w/ref/${ref%=*}"
done
cp "$source/tests/data/golden/cube.mqo" "$w/m/cube.mqo"
: >"$w/m/empty.mqo"
printf 'Metasequoia\n' >"$w/m/bare.mqo"
# 1,000 triangles: a 168 KB output
printf 'Metasequoia\nObject "big" {\n vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n face 1000 {\n%s }\n}\n' \
  "$(printf ' 3 V(0 1 2)\n%.0s' {1..1000})"$'\n' >"$w/m/big.mqo"
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
# What the QZ file cannot carry as the modeller shows it: a hidden lathe and patch object, a mirror
# object, faces of five and two corners, a corner and a material out of range, a long texture name.
printf 'Metasequoia\nMaterial 1 {\n "m" tex("a_very_long_texture_name.bmp")\n}\n%b%b%b' \
  'Object "hidden" {\n visible 0\n lathe 1\n patch 3\n vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n face 1 {\n 3 V(0 1 2)\n }\n}\n' \
  'Object "half" {\n mirror 1\n mirror_axis 1\n vertex 5 {\n 1 0 0\n 2 0 0\n 2 1 0\n 1 1 0\n 1.5 2 0\n }\n' \
  ' face 3 {\n 5 V(0 1 2 4 3)\n 2 V(0 1) M(3)\n 3 V(0 1 9)\n }\n}\n' >"$w/m/notes.mqo"
# 70,000 triangles in one object; a mirror in a frame of its own, moved.
printf 'Metasequoia\nMaterial 1 {\n "m"\n}\nObject "long" {\n vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n face 70000 {\n%s }\n}\n' \
  "$(printf ' 3 V(0 1 2)\n%.0s' {1..70000})"$'\n' >"$w/m/long.mqo"
printf 'Metasequoia\nMaterial 1 {\n "m"\n}\nObject "local" {\n mirror 1\n mirror_axis 9\n translation 0 5 0\n%b' \
  ' vertex 3 {\n 1 0 0\n 2 0 0\n 1 1 0\n }\n face 1 {\n 3 V(0 1 2)\n }\n}\n' >"$w/m/local.mqo"
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
  [ ${#problems[@]} -eq 0 ] || fail "$name$(printf '\n  %s' "${problems[@]}")"
}
mounted() { [ -n "${VUV2EZ_IN_NAMESPACE:-}" ] || { echo "SKIP $1: no mount namespace"; false; }; }

c=$w/m/cube.mqo
row "smooth by default" 0 "$(converted "$c")" m/cube.mqo.qz=ref/smooth -- "$vuv2ez" "$c"
row "flat, --output" 0 "$(converted "$c")" out/f.qz=ref/flat -- "$vuv2ez" --output "$w/out/f.qz" "$c" --flat
row "a line a file" 1 "$(converted "$c"; unread "$w/m/none.mqo" "$missing"; converted "$w/m/bare.mqo")" \
  "m/cube.mqo.qz=ref/smooth|m/bare.mqo.qz=ref/empty" -- "$vuv2ez" "$c" "$w/m/none.mqo" "$w/m/bare.mqo"
row "empty source" 1 "VUV2EZ: $w/m/empty.mqo: MQO フォーマットではありません。" - -- \
  "$vuv2ez" -o "$w/out/keep.qz" "$w/m/empty.mqo"
for from in "$w/m/none.mqo|$missing" "$w/m/|$folder" "$w/m/fifo.mqo|$special" \
  "$w/m/dangling.mqo|$missing" "/dev/zero|$special" "$w/m$long$longer/cube.mqo|$toolong"; do
  row "source [${from:0:60}]" 1 "$(unread "${from%|*}" "${from#*|}")" - -- \
    "$vuv2ez" -o "$w/out/keep.qz" "${from%|*}"
done
row "source of 1,100 bytes" 0 "$(converted "$w/m$long/cube.mqo")" "m$long/cube.mqo.qz=ref/smooth" -- \
  "$vuv2ez" "$w/m$long/cube.mqo"
for to in "out/no such folder/x.qz|$missing" "out/a folder|$folder" "out/dangling.qz|$missing" \
  "out/fifo.qz|$special" "out/null|$special" "m$long$longer/keep.qz|$toolong"; do
  [ "${to%|*}" = out/null ] && [ ! -c "$w/out/null" ] && continue
  row "destination [${to:0:60}]" 1 "$(unwritten "$w/${to%|*}" "${to#*|}")" - -- \
    "$vuv2ez" -o "$w/${to%|*}" "$c"
done
row "destination []" 1 "$(unwritten "" "$missing")" - -- "$vuv2ez" -o "" "$c"
row "disk full (file size limit)" 1 "$(unwritten "$w/out/keep.qz" "$full")" - -- \
  bash -c 'trap "" XFSZ; ulimit -f 64; exec "$@"' _ "$vuv2ez" -o "$w/out/keep.qz" "$w/m/big.mqo"
mounted "full disk" && row "disk full (64 KiB)" 1 "$(unwritten "$w/small/keep.qz" "$full")" - -- \
  "$vuv2ez" -o "$w/small/keep.qz" "$w/m/big.mqo"
readonly="読み取り専用のファイルシステムです。"
[ -n "${VUV2EZ_IN_NAMESPACE:-}" ] || readonly="アクセスが許可されていません。"
[ "$(id -u)" = 0 ] && [ -z "${VUV2EZ_IN_NAMESPACE:-}" ] && echo "SKIP read-only folder: running as root" ||
  row "read-only folder" 1 "$(unwritten "$w/ro/keep.qz" "$readonly")" - -- "$vuv2ez" -o "$w/ro/keep.qz" "$c"
row "-o through a link" 0 "$(converted "$c")" out/real.qz=ref/smooth -- "$vuv2ez" -o "$w/out/link.qz" "$c"
for name in "${names[@]}"; do
  row "source [$name]" 0 "$(converted "$w/m/$name")" "m/$name.qz=ref/smooth" -- "$vuv2ez" -- "$w/m/$name"
  row "-o [$name]" 0 "$(converted "$c")" "out/$name=ref/smooth" -- "$vuv2ez" -o "$w/out/$name" "$c"
done
CWD=$w/m row "relative -o -x.qz" 0 "$(converted -leading-dash.mqo)" m/-x.qz=ref/smooth -- \
  "$vuv2ez" -o -x.qz -- -leading-dash.mqo
n=$w/m/notes.mqo
# warnings [OBJECTS FACES]: the warning lines of notes.mqo, with the objects' and faces' counts
# as written (none for the objects).
warnings() {
  for text in "非表示のオブジェクト ${1-1} 個も変換しました (--visible-only で除きます)" \
    "ミラーのオブジェクト ${1-1} 個を片側だけ書き出しました (--mirror で両側を書き出します)" \
    "回転体のオブジェクト ${1-1} 個を断面のまま書き出しました" "曲面のオブジェクト ${1-1} 個を制御メッシュのまま書き出しました" \
    "頂点が 5 つ以上の面 ${2-1} 個を扇形に分けて書き出しました" "頂点が 1 つか 2 つの面が ${2-1} 個あります" \
    "範囲外の頂点番号 ${2-1} 個を原点にしました" \
    "範囲外の材質番号をもつ面 ${2-1} 個を白、テクスチャーなしにしました" \
    "16 バイトを超えるテクスチャー名 1 個を切り詰めました"; do
    [[ "$text" == *"  個"* ]] || echo "VUV2EZ: $n: 警告: $text。"
  done
}
row "warnings" 0 "$(converted "$n"; warnings)" m/notes.mqo.qz=m/notes.mqo.qz -- "$vuv2ez" "$n"
row "-q: no warnings, the same bytes" 0 "$(converted "$n")" out/q.qz=m/notes.mqo.qz -- \
  "$vuv2ez" -q -o "$w/out/q.qz" "$n"
row "--visible-only --mirror" 0 "$(converted "$n"; warnings "" 2)" out/vm.qz=out/vm.qz -- \
  "$vuv2ez" --visible-only --mirror -o "$w/out/vm.qz" "$n"
# One object left of two; its four records (a fan of two, a two-corner face, a triangle) and their
# reflections on the plane x = 0; the two-corner face and its copy show no surface.
summary=$("$qzdump" --summary "$w/out/vm.qz" | sed -n '2,4p' | cut -d' ' -f1-3 | xargs)
[ "$summary" = "objects 1 (table faces 8 (data degenerate records 2" ] || fail "--visible-only --mirror: $summary"
# Through qzdump --obj: 32 vertices; a record whose last two corners are one is a triangle (three
# of each object's four records, and their reflections), the others quads.
"$qzdump" --obj "$w/vm.obj" "$w/out/vm.qz" && vm=$(for p in 'v ' 'f [^ ]* [^ ]* [^ ]*$' \
  'f [^ ]* [^ ]* [^ ]* [^ ]*$'; do grep -c "^$p" "$w/vm.obj"; done | xargs)
[ "${vm:-}" = "32 6 2" ] || fail "--mirror through qzdump --obj: ${vm:-none}"
# --lathe and --subdivide: the hidden object's triangle is refined and its lathe, with no profile
# edge, turned into nothing, so neither is left as stored; a surface with no face to refine is
# named, and a segment outside 1 to 4 counted.
row "--lathe --subdivide" 0 "$(converted "$n"; warnings | grep -v -e 回転体 -e 曲面)" \
  out/ls.qz=out/ls.qz -- "$vuv2ez" --lathe --subdivide -o "$w/out/ls.qz" "$n"
printf 'Metasequoia\nObject "edge" {\n patch 3\n segment 9\n vertex 2 {\n 0 0 0\n 1 0 0\n }\n face 1 {\n 2 V(0 1)\n }\n}\n' \
  >"$w/m/edge.mqo"
row "a surface refused" 0 "$(converted "$w/m/edge.mqo"
  echo "VUV2EZ: $w/m/edge.mqo: 警告: 頂点が 1 つか 2 つの面が 1 個あります。"
  echo "VUV2EZ: $w/m/edge.mqo: 警告: 範囲外の材質番号をもつ面 1 個を白、テクスチャーなしにしました。"
  echo "VUV2EZ: $w/m/edge.mqo: 警告: 分割数が 1 から 4 の外にある曲面のオブジェクト 1 個は、近いほうの分割数にしました。"
  echo "VUV2EZ: $w/m/edge.mqo: 警告: 曲面のオブジェクト \"edge\" は細分化できないため、制御メッシュのまま書き出しました。")" \
  out/edge.qz=out/edge.qz -- "$vuv2ez" --subdivide -o "$w/out/edge.qz" "$w/m/edge.mqo"
# 50,000 profile edges turned 256 steps both ways: 25.6 million records, past 4 GiB; then 10,000
# quads refined four levels (2.56 million records) in 256 MiB of address space. Neither writes.
{ printf 'Metasequoia\nObject "body" {\n lathe 3\n lathe_seg 256\n vertex 2 {\n 1 0 0\n 1 1 0\n }\n face 50000 {\n'
  printf ' 2 V(0 1)\n%.0s' {1..50000}; printf ' }\n}\n'; } >"$w/m/lathe-bomb.mqo"
{ printf 'Metasequoia\nObject "cc" {\n patch 3\n segment 4\n vertex 4 {\n 0 0 0\n 1 0 0\n 1 1 0\n 0 1 0\n }\n face 10000 {\n'
  printf ' 4 V(0 1 2 3)\n%.0s' {1..10000}; printf ' }\n}\n'; } >"$w/m/surface-bomb.mqo"
row "lathe past 4 GiB" 1 "$(unwritten "$w/out/keep.qz" "QZ ファイルの大きさの上限 (4 GiB) を超えます。")" - -- \
  "$vuv2ez" --lathe -o "$w/out/keep.qz" "$w/m/lathe-bomb.mqo"
# (not under AddressSanitizer, whose shadow memory needs more address space than the limit)
[ -n "${VUV2EZ_SANITIZED:-}" ] ||
  row "surface past memory" 1 "$(unwritten "$w/out/keep.qz" "大きすぎてメモリーに収まりません。")" - -- \
    bash -c 'ulimit -v 262144; exec "$@"' _ "$vuv2ez" --subdivide -o "$w/out/keep.qz" "$w/m/surface-bomb.mqo"
# --facet-normals: the cube's faces meet at 90 degrees, beyond its smoothing angle: flat normals.
row "--facet-normals" 0 "$(converted "$c")" out/fn.qz=ref/flat -- "$vuv2ez" --facet-normals -o "$w/out/fn.qz" "$c"
row "--visible-only --mirror --facet-normals" 0 "$(converted "$n"; warnings "" 2)" out/vmf.qz=out/vmf.qz -- \
  "$vuv2ez" --visible-only --mirror --facet-normals -o "$w/out/vmf.qz" "$n"
row "--as-shown, the options it stands for" 0 "$(converted "$n"; warnings "" 2)" out/as.qz=out/vmf.qz -- \
  "$vuv2ez" --as-shown -o "$w/out/as.qz" "$n"
l=$w/m/long.mqo
row "past 65,535 records: the count wraps" 0 "$(converted "$l"; echo "VUV2EZ: $l: 警告: 面が 65,535 を超えるオブジェクト 1 個は、面の数の欄があふれます。")" \
  out/long.qz=out/long.qz -- "$vuv2ez" -o "$w/out/long.qz" "$l"
for mode in --mirror --as-shown --facet-normals; do
  row "past 65,535 records, $mode: two entries" 0 "$(converted "$l")" out/long$mode.qz=out/long$mode.qz -- \
    "$vuv2ez" $mode -o "$w/out/long$mode.qz" "$l"
  summary=$("$qzdump" --summary "$w/out/long$mode.qz" | sed -n '2,3p' | cut -d' ' -f1-3 | xargs)
  [ "$summary" = "objects 2 (table faces 70000 (data" ] || fail "$mode, qzdump --summary: $summary"
  # The same records as the single entry's (the normals of the whole object)
  [ "$mode" = --facet-normals ] ||
    cmp -s <(tail -c 11760000 "$w/out/long.qz") <(tail -c 11760000 "$w/out/long$mode.qz") ||
    fail "$mode: other records than the single entry's"
done
row "--mirror, a local mirror in a moved frame" 0 \
  "$(converted "$w/m/local.mqo"; echo "VUV2EZ: $w/m/local.mqo: 警告: ローカル座標でミラーするオブジェクト 1 個は、座標系が移動・回転・拡大されているため片側だけ書き出しました。")" \
  out/local.qz=out/local.qz -- "$vuv2ez" --mirror -o "$w/out/local.qz" "$w/m/local.mqo"
row "options end at --" 1 "$(unread --flat "$missing")" - -- "$vuv2ez" -- --flat
row "- is a file" 1 "$(unread - "$missing")" - -- "$vuv2ez" -
for args in "-o x.qz a.mqo b.mqo|-o はファイルが一つのときだけ指定できます。" \
  "--bogus a.mqo|不明なオプションです: --bogus" "a.mqo -o|-o には出力先のパスが要ります。" \
  "--flat|変換するファイルがありません。" "-q|変換するファイルがありません。" \
  "--lathe|変換するファイルがありません。" "--subdivide|変換するファイルがありません。" \
  "--facet-normals|変換するファイルがありません。" "--as-shown|変換するファイルがありません。" \
  "-o x -o y a.mqo|-o は一度だけ指定できます。"; do
  row "usage: ${args%|*}" 2 "vuv2ez: ${args#*|}"$'\n'"$usage" - -- "$vuv2ez" ${args%|*}
done
row "help" 0 "" - -- "$vuv2ez" a.mqo --help --version
row "version" 0 "" - -- "$vuv2ez" --version
[[ "$usage" == *--flat*-o,\ --output* ]] || fail "help lists no options"

head -c 100 "$w/ref/smooth" >"$w/out/cut.qz"
row "qzdump, truncated" 1 "qzdump: $w/out/cut.qz: object table runs past the end of the file" - -- \
  "$qzdump" "$w/out/cut.qz"
row "qzdump, not QZ" 1 "qzdump: $w/m/cube.mqo: not a QZ file (magic is not \"QZF\")" - -- "$qzdump" "$w/m/cube.mqo"
qusage=$'usage: qzdump [--summary] FILE.qz\n       qzdump --obj OUT.obj FILE.qz\n'\
$'       qzdump --png OUT.png [--size 16..4096] [--view front|back|left|right|top|iso] FILE.qz'
row "qzdump, no file" 2 "$qusage" - -- "$qzdump" --summary
row "qzdump, unknown option" 2 "$qusage" - -- "$qzdump" --bogus "$w/ref/smooth"
row "qzdump --obj, missing folder" 1 "qzdump: $w/none/c.obj: cannot be written" - -- \
  "$qzdump" --obj "$w/none/c.obj" "$w/ref/smooth"
row "qzdump, missing file" 1 "qzdump: $w/none.qz: cannot be read" - -- "$qzdump" "$w/none.qz"
"$qzdump" "$w/ref/textures" | cmp -s - "$source/tests/data/golden/textures.smooth.dump" ||
  fail "qzdump's listing differs from tests/data/golden/textures.smooth.dump"
row "qzdump --obj" 0 "" out/c.obj=out/c.obj -- "$qzdump" --obj "$w/out/c.obj" "$w/ref/smooth" # any bytes
# One group per object; 4 v, vt and vn per record; the cube's six quads stay quads.
counts=$(for p in 'g ' 'v ' 'vt ' 'vn ' 'f [^ ]* [^ ]* [^ ]* [^ ]*$'; do grep -c "^$p" "$w/out/c.obj"; done | xargs)
[ "$counts" = "1 24 24 24 6" ] || fail "obj counts: $counts"
[ "$("$qzdump" --summary "$w/ref/flat" | sed -n 3p)" = "faces 6 (data 1008 bytes at 108)" ] || fail "qzdump --summary"

# qzdump --png: a damaged file or an unwritable picture changes nothing; bad sizes and views, and
# picture options without --png, are usage errors.
row "qzdump --png, truncated" 1 "qzdump: $w/out/cut.qz: object table runs past the end of the file" - -- \
  "$qzdump" --png "$w/out/p.png" "$w/out/cut.qz"
for place in none/p.png ro/p.png "out/a folder"; do
  row "qzdump --png into $place" 1 "qzdump: $w/$place: cannot be written" - -- \
    "$qzdump" --png "$w/$place" "$w/ref/smooth"
done
[ -n "${VUV2EZ_IN_NAMESPACE:-}" ] && row "qzdump --png, disk full" 1 "qzdump: $w/small/p.png: cannot be written" \
  small/p.png=small/p.png -- "$qzdump" --png "$w/small/p.png" --size 1024 "$w/ref/smooth"
for args in "P --size 15" "P --size 4097" "P --view bottom" "P --size" "P --view" "--size 16" "--view top"; do
  row "qzdump $args" 2 "$qusage" - -- "$qzdump" ${args/P/--png $w/out/p.png} "$w/ref/smooth"
done
# A PNG file of the size asked for, the same bytes every time; another view, other bytes.
png_size() { od -An -tu1 -j16 -N8 "$1" | xargs; }
row "qzdump --png" 0 "" out/p.png=out/p.png -- "$qzdump" --png "$w/out/p.png" --view front "$w/ref/smooth"
[ "$(png_size "$w/out/p.png")" = "0 0 2 0 0 0 2 0" ] || fail "qzdump --png: not 512 by 512"
for view in front front iso; do
  "$qzdump" --png "$w/out/$view.png" --size 16 --view $view "$w/ref/smooth" && cmp -s "$w/out/$view.png" "$w/out/p.png"
  echo $? "$(png_size "$w/out/$view.png")" >>"$w/views"
  mv "$w/out/$view.png" "$w/out/p.png"
done
[ "$(xargs <"$w/views")" = "1 0 0 0 16 0 0 0 16 0 0 0 0 16 0 0 0 16 1 0 0 0 16 0 0 0 16" ] ||
  fail "qzdump --png --size 16: $(xargs <"$w/views")"
rm -f "$w/out/p.png" "$w/views"

[ "$failures" -eq 0 ] && echo "all command-line rows passed"
exit $((failures > 0))
