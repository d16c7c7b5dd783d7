#!/usr/bin/env bash
# Draws the README's pictures with qzdump --png into docs/pictures/: the tank document as the
# converter writes it by default and with --as-shown, and the leg's subdivision surface as its
# control cage (the default) and with --subdivide. A picture whose option this converter does not
# know yet is skipped with a message; the others are still drawn.
# Usage: scripts/render-pictures.sh [CORPUS_FOLDER]   (default: ../shared/corpus)
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=${1:-../shared/corpus}
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vuv2ez qzdump
bin=build/release/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p docs/pictures

# picture NAME DOCUMENT [OPTION...]: docs/pictures/NAME.png, 512 pixels a side, seen from (1, 1, 1).
picture() {
  local name=$1 document=$2 status=0
  shift 2
  "$bin/vuv2ez" -q "$@" -o "$work/$name.qz" "$corpus/$document" 2>"$work/$name.txt" || status=$?
  if [ "$status" -eq 2 ]; then # a usage error: the option is not there
    echo "render-pictures.sh: $name skipped: this vuv2ez does not accept $*" >&2
    return 0
  elif [ "$status" -ne 0 ]; then
    cat "$work/$name.txt" >&2
    exit 1
  fi
  "$bin/qzdump" --png "docs/pictures/$name.png" --size 512 --view iso "$work/$name.qz"
  echo "docs/pictures/$name.png"
}

picture tank v11_rtm_127mmtank_1.2MB.mqo
picture tank-as-shown v11_rtm_127mmtank_1.2MB.mqo --as-shown
picture leg-cage v10_kattun_maid_leftleg_patch3.mqo
picture leg-subdivided v10_kattun_maid_leftleg_patch3.mqo --subdivide
