#!/usr/bin/env bash
# Rewrites docs/dialog.png: the Windows program's dialog after a drop, as Wine draws it on a
# Japanese desktop (the dialog font shown with IPAPGothic). Builds the windows preset first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine/session.sh

scripts/install-deps.sh "${wine_session_packages[@]}" imagemagick
wine_session_start
cmake --preset windows >/dev/null
cmake --build --preset windows --target dialog_after_drop

rect_file=$(mktemp)
scripts/wine/run.sh build/windows/bin/dialog_after_drop.exe 'D:\作品\モデル\house.mqo' \
  "$(winepath -w "$rect_file" 2>/dev/null)" 3000 </dev/null >/dev/null 2>&1 &
shown=$!
for _ in $(seq 100); do [ -s "$rect_file" ] && break; sleep 0.1; done
read -r left top width height <"$rect_file"
import -window root -crop "${width}x${height}+${left}+${top}" +repage docs/dialog.png
wait "$shown"
rm -f "$rect_file"
echo "wrote docs/dialog.png (${width}x${height})"
