#!/usr/bin/env bash
# Builds the converter and converts the bundled example, then shows what was written.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vuv2ez qzdump
build/release/bin/vuv2ez examples/house.mqo
build/release/bin/qzdump --summary examples/house.mqo.qz
