#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [SECONDS] — a fuzz run of the route reader, and
# half as long of tarvik-route's check, seeded with the example and demo
# routes and the test files.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/setup.sh
[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_FUZZ=ON -DTARVIK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_route_reader fuzz_route_check
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp examples/routes/*.route examples/demo/Config/TKMFD/routes/*.route tests/data/*.route "$corpus"/
build-fuzz/fuzz/fuzz_route_reader -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
  -max_len=65536 "$corpus"
build-fuzz/fuzz/fuzz_route_check -max_total_time="$(( (seconds + 1) / 2 ))" -timeout=2 -rss_limit_mb=2048 \
  -max_len=65536 "$corpus"
