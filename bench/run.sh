#!/usr/bin/env bash
# Benchmark vuv2ez end to end: bench/run.sh [--sizes 10000,100000] [--runs N] [--help]
# Run from anywhere; it works on the repository this script lives in. See bench/README.md.
set -euo pipefail
exec python3 "$(dirname "${BASH_SOURCE[0]}")/run.py" "$@"
