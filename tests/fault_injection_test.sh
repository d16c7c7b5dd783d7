#!/usr/bin/env bash
# Real faults on the command-line converter: missing, read-only and full destinations, sources
# that are no files, and awkward path names. Every case checks the message on standard error, the
# exit status, that a file already at the destination is byte for byte unchanged, that no
# temporary file is left, and that nothing else in the scratch tree (the working folder and
# $TMPDIR included) was created, changed or removed.
#
# Read-only folders and full file systems are real mounts in a private mount namespace (as root,
# or as an unprivileged user with a user namespace); without one, a read-only folder is made by
# running the converter as an unprivileged user (root) or by permission bits (others), and a full
# disk by RLIMIT_FSIZE alone.
# Usage: fault_injection_test.sh VUV2EZ SOURCE_DIR
set -u
vuv2ez=$(realpath "$1")
source_dir=$2
work=$(mktemp -d)
saved=$(mktemp -d)
cleanup() {
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work" "$saved"
}
trap cleanup EXIT
chmod 755 "$work"
failures=0
skipped=()

done_msg="VUV2EZ: 変換が終了しました。"
read_msg="VUV2EZ: ファイルの読み込みに失敗しました。"
write_msg="VUV2EZ: ファイルの書き込みに失敗しました。"

mkdir -p "$work/cwd" "$work/tmp" "$work/out" "$work/models"
cp "$source_dir/examples/house.mqo" "$work/models/house.mqo"
# A model whose file is 168 KB: 1,000 triangles.
{
  printf 'Metasequoia Document\nFormat Text Ver 1.0\nObject "big" {\n vertex 3 {\n'
  printf '  0 0 0\n  1 0 0\n  0 1 0\n }\n face 1000 {\n'
  for ((i = 0; i < 1000; i++)); do printf '  3 V(0 1 2)\n'; done
  printf ' }\n}\nEof\n'
} >"$work/models/big.mqo"
printf 'keep me: the previous conversion\n' >"$work/out/keep.qz"
"$vuv2ez" -o "$saved/house.qz" "$work/models/house.mqo" 2>/dev/null || {
  echo "FAIL the reference conversion"
  exit 1
}

# Every file, link, FIFO and folder under $work with what identifies its contents; folders
# without their times, which creating and removing a temporary file changes.
snapshot() {
  find "$work" \( -type d -printf 'd %m %P\n' \) -o \( -type l -printf 'l %l %P\n' \) \
    -o -printf '%y %m %s %T@ %P\n' | LC_ALL=C sort
}

# check NAME STATUS MESSAGE DESTINATION NEW -- COMMAND...
# Runs COMMAND in $work/cwd with TMPDIR=$work/tmp and checks its exit status and standard error.
# DESTINATION, when it exists beforehand, must end byte for byte as it was; NEW names the one
# path (relative to $work) the command may create, "-" for none. No ".vuv2ez-*.tmp" may remain.
check() {
  local name=$1 status=$2 message=$3 destination=$4 new=$5
  shift 6
  local before after out actual problems=()
  before=$(snapshot)
  local had=0
  if [ -f "$destination" ]; then
    had=1
    cp -p "$destination" "$saved/destination"
  fi
  out=$(cd "${CHECK_CWD:-$work/cwd}" && TMPDIR="$work/tmp" timeout 20 "$@" 2>&1 >/dev/null)
  actual=$?
  [ "$actual" = "$status" ] || problems+=("exit status $actual, want $status")
  [ "$out" = "$message" ] || problems+=("standard error: $out")
  if [ "$had" = 1 ] && ! cmp -s "$saved/destination" "$destination"; then
    problems+=("the destination changed")
  fi
  local leftovers
  leftovers=$(find "$work" -name '.vuv2ez-*.tmp' -printf '%P\n')
  [ -z "$leftovers" ] || problems+=("temporary files left: $leftovers")
  after=$(snapshot)
  if [ "$new" != "-" ]; then
    # The new file may appear (or, when it existed, change); nothing else.
    before=$(printf '%s\n' "$before" | grep -v -F " $new" || true)
    after=$(printf '%s\n' "$after" | grep -v -F " $new" || true)
  fi
  if [ "$before" != "$after" ]; then
    problems+=("the tree changed: $(diff <(printf '%s\n' "$before") <(printf '%s\n' "$after") |
      grep '^[<>]' | head -n 5 | tr '\n' ' ')")
  fi
  if [ ${#problems[@]} -gt 0 ]; then
    echo "FAIL $name"
    printf '  %s\n' "${problems[@]}"
    return 1
  fi
  echo "ok   $name"
}

# produced NAME FILE: FILE holds what the reference conversion wrote.
produced() {
  if cmp -s "$saved/house.qz" "$2"; then
    echo "ok   $1: output as expected"
  else
    echo "FAIL $1: output missing or different"
    return 1
  fi
}

run() { "$@" || failures=$((failures + 1)); }

# --- Namespaces: how to mount here, if at all -------------------------------------------------
export -f check snapshot
export work saved
# FAULT_TEST_NO_NAMESPACE=1 takes the fallbacks, to check them where mounting works.
namespace=()
if [ -n "${FAULT_TEST_NO_NAMESPACE:-}" ]; then
  :
elif unshare --mount --propagation private true 2>/dev/null; then
  namespace=(unshare --mount --propagation private)
elif unshare --map-root-user --mount --propagation private true 2>/dev/null; then
  namespace=(unshare --map-root-user --mount --propagation private)
fi
if [ ${#namespace[@]} -gt 0 ] && ! "${namespace[@]}" sh -c 'mount -t tmpfs -o size=16k tmpfs "$1"' \
  _ "$work/tmp" 2>/dev/null; then
  namespace=()
fi

# in_namespace SETUP -- CHECK ARGUMENTS...: SETUP (shell commands) then check, in a private mount
# namespace whose mounts vanish with it.
in_namespace() {
  local setup=$1
  shift 2
  "${namespace[@]}" bash -c "(set -e; $setup) || { echo \"FAIL setting up: \$1\"; exit 1; }
    check \"\$@\"" _ "$@"
}

# --- The destination's folder ---------------------------------------------------------------
run check "destination folder does not exist" 1 "$write_msg" - - -- \
  "$vuv2ez" -o "$work/out/no such folder/x.qz" "$work/models/house.mqo"

mkdir "$work/readonly"
cp "$work/out/keep.qz" "$work/readonly/keep.qz"
if [ ${#namespace[@]} -gt 0 ]; then
  run in_namespace 'mount --bind "$work/readonly" "$work/readonly";
      mount -o remount,bind,ro "$work/readonly" "$work/readonly";
      ! touch "$work/readonly/probe" 2>/dev/null' -- \
    "destination folder is read-only (bind mount)" 1 "$write_msg" "$work/readonly/keep.qz" - -- \
    "$vuv2ez" -o "$work/readonly/keep.qz" "$work/models/house.mqo"
elif [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  # Root writes anywhere: the converter runs as nobody, from a copy it may execute.
  mkdir "$work/bin" && cp "$vuv2ez" "$work/bin/vuv2ez" && chmod -R a+rX "$work"
  run check "destination folder not writable (run as nobody)" 1 "$write_msg" \
    "$work/readonly/keep.qz" - -- setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$work/bin/vuv2ez" -o "$work/readonly/keep.qz" "$work/models/house.mqo"
  rm -rf "$work/bin"
elif [ "$(id -u)" != 0 ]; then
  chmod a-w "$work/readonly"
  run check "destination folder not writable (permissions)" 1 "$write_msg" \
    "$work/readonly/keep.qz" - -- "$vuv2ez" -o "$work/readonly/keep.qz" "$work/models/house.mqo"
  chmod u+w "$work/readonly"
else
  skipped+=("read-only destination folder: no mount namespace and no setpriv")
fi

# --- The destination itself -----------------------------------------------------------------
mkdir "$work/out/a folder"
run check "destination is a directory" 1 "$write_msg" - - -- \
  "$vuv2ez" -o "$work/out/a folder" "$work/models/house.mqo"
ln -s "$work/out/nowhere/x.qz" "$work/out/dangling.qz"
run check "destination is a dangling symbolic link" 1 "$write_msg" - - -- \
  "$vuv2ez" -o "$work/out/dangling.qz" "$work/models/house.mqo"

mkfifo "$work/out/fifo.qz"
run check "destination is a FIFO" 1 "$write_msg" - - -- \
  "$vuv2ez" -o "$work/out/fifo.qz" "$work/models/house.mqo"
# As root, "-o /dev/null" would have replaced the system's /dev/null; a copy of it stands in.
if mknod "$work/out/null" c 1 3 2>/dev/null; then
  run check "destination is a character device" 1 "$write_msg" - - -- \
    "$vuv2ez" -o "$work/out/null" "$work/models/house.mqo"
else
  skipped+=("character device destination: mknod not permitted")
fi

# --- A full disk ----------------------------------------------------------------------------
# The file size limit (in KiB) stops the 168 KB file after 64 KiB; SIGXFSZ is ignored, so the
# write fails with EFBIG instead of killing the process.
run check "disk full (file size limit)" 1 "$write_msg" "$work/out/keep.qz" - -- \
  bash -c 'trap "" XFSZ; ulimit -f 64; exec "$@"' _ \
  "$vuv2ez" -o "$work/out/keep.qz" "$work/models/big.mqo"
mkdir "$work/small"
if [ ${#namespace[@]} -gt 0 ]; then
  run in_namespace 'mount -t tmpfs -o size=64k tmpfs "$work/small";
      cp "$work/out/keep.qz" "$work/small/keep.qz"' -- \
    "disk full (64 KiB tmpfs)" 1 "$write_msg" "$work/small/keep.qz" - -- \
    "$vuv2ez" -o "$work/small/keep.qz" "$work/models/big.mqo"
else
  skipped+=("full tmpfs: no mount namespace (the file size limit case covers a full disk)")
fi

# --- The source -----------------------------------------------------------------------------
run check "source does not exist" 1 "$read_msg" "$work/out/keep.qz" - -- \
  "$vuv2ez" -o "$work/out/keep.qz" "$work/models/missing.mqo"
run check "source is a directory" 1 "$read_msg" "$work/out/keep.qz" - -- \
  "$vuv2ez" -o "$work/out/keep.qz" "$work/models"
mkfifo "$work/models/fifo.mqo"
run check "source is a FIFO (no writer: must not wait)" 1 "$read_msg" "$work/out/keep.qz" - -- \
  "$vuv2ez" -o "$work/out/keep.qz" "$work/models/fifo.mqo"
run check "source is a character device" 1 "$read_msg" "$work/out/keep.qz" - -- \
  "$vuv2ez" -o "$work/out/keep.qz" /dev/zero
ln -s "$work/models/gone.mqo" "$work/models/link.mqo"
run check "source is a dangling symbolic link" 1 "$read_msg" "$work/out/keep.qz" - -- \
  "$vuv2ez" -o "$work/out/keep.qz" "$work/models/link.mqo"
cp "$work/models/house.mqo" "$work/models/vanishing.mqo"
run check "source converts" 0 "$done_msg" - models/vanishing.mqo.qz -- \
  "$vuv2ez" "$work/models/vanishing.mqo"
run produced "source converts" "$work/models/vanishing.mqo.qz"
rm "$work/models/vanishing.mqo"
run check "source vanished since the last run" 1 "$read_msg" "$work/models/vanishing.mqo.qz" - -- \
  "$vuv2ez" "$work/models/vanishing.mqo"
rm "$work/models/vanishing.mqo.qz"

# --- Path names -----------------------------------------------------------------------------
# Each source is a copy of house.mqo; its output must be the reference file, at the right name.
names=("with spaces .mqo" "quote\"d 'both' .mqo" "日本語のモデル　全角.mqo" "-leading-dash.mqo")
for name in "${names[@]}"; do
  cp "$work/models/house.mqo" "$work/models/$name"
  run check "source named [$name]" 0 "$done_msg" - "models/$name.qz" -- \
    "$vuv2ez" -- "$work/models/$name"
  run produced "source named [$name]" "$work/models/$name.qz"
  run check "destination named [$name] with -o" 0 "$done_msg" - "out/$name" -- \
    "$vuv2ez" -o "$work/out/$name" "$work/models/house.mqo"
  run produced "destination named [$name]" "$work/out/$name"
done
# A leading "-" given as a relative name: after "--" for the source, as -o's argument.
CHECK_CWD="$work/models" run check "relative [-leading-dash.mqo] after --" 0 "$done_msg" - \
  "models/-leading-dash.mqo.qz" -- "$vuv2ez" -- -leading-dash.mqo
CHECK_CWD="$work/models" run check "relative -o [-out.qz]" 0 "$done_msg" - "models/-out.qz" -- \
  "$vuv2ez" -o -out.qz -- -leading-dash.mqo
run produced "relative -o [-out.qz]" "$work/models/-out.qz"

# Paths past 1,024 bytes (5 folders of 220 bytes) convert; past the system's limit on a path
# (4,096 bytes, 19 folders deep, built one step at a time) they fail with the usual messages.
segment=$(printf 'd%.0s' {1..220})
deep=models
for ((i = 0; i < 5; i++)); do deep="$deep/$segment"; done
mkdir -p "$work/$deep"
cp "$work/models/house.mqo" "$work/$deep/house.mqo"
run check "source path of $((${#work} + ${#deep} + 11)) bytes" 0 "$done_msg" - \
  "$deep/house.mqo.qz" -- "$vuv2ez" "$work/$deep/house.mqo"
run produced "source path past 1,024 bytes" "$work/$deep/house.mqo.qz"
deeper=$deep
(
  cd "$work/$deep" || exit 1
  for ((i = 0; i < 14; i++)); do mkdir "$segment" && cd "$segment" || exit 1; done
  cp "$work/models/house.mqo" house.mqo
  printf 'keep me\n' >keep.qz
) || run false
for ((i = 0; i < 14; i++)); do deeper="$deeper/$segment"; done
run check "source path of $((${#work} + ${#deeper} + 11)) bytes" 1 "$read_msg" - - -- \
  "$vuv2ez" "$work/$deeper/house.mqo"
run check "destination path of $((${#work} + ${#deeper} + 9)) bytes" 1 "$write_msg" - - -- \
  "$vuv2ez" -o "$work/$deeper/keep.qz" "$work/models/house.mqo"

for reason in "${skipped[@]}"; do echo "SKIP $reason"; done
if [ "$failures" -eq 0 ]; then
  echo "all fault cases passed"
else
  echo "$failures fault case(s) failed"
fi
exit $((failures > 0))
