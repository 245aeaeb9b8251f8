#!/usr/bin/env bash
# The test command: set-up, build and every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
scripts/setup.sh
tarvik_configure . build -DCMAKE_BUILD_TYPE=RelWithDebInfo
tarvik_build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
