#!/usr/bin/env bash
# Usage: scripts/build.sh BUILD_DIR [cmake options...] — configures once, builds everything.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
[ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
