#!/usr/bin/env bash
# Usage: scripts/build.sh BUILD_DIR [cmake options...] [-- targets...] —
# configures (again, so that changed options and packages installed since
# are found) and builds everything, or only the targets given after "--".
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
dir=$1; shift
options=()
targets=()
while (($#)); do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done
tarvik_configure . "$dir" "${options[@]}"
tarvik_build "$dir" "${targets[@]}"
