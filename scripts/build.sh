#!/usr/bin/env bash
# Usage: scripts/build.sh BUILD_DIR [cmake options...] [-- targets...] —
# configures (again, so that packages installed since are found) and
# builds everything, or only the targets given after "--".
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
options=()
targets=()
while (($#)); do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done
cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
if ((${#targets[@]})); then
  cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$dir" -j "$(nproc)"
fi
