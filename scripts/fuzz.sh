#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [SECONDS] — a fuzz run of the route reader, seeded
# with the example and demo routes and the test files, then a quarter as
# long each of tarvik-route's check (same seeds) and of the route file
# writer read back by the reader (random records from nothing).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
source scripts/lib.sh
scripts/setup.sh
tarvik_configure . build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_FUZZ=ON -DTARVIK_BENCH=OFF
tarvik_build build-fuzz fuzz_route_reader fuzz_route_check fuzz_route_writer
corpus=$(mktemp -d)
records=$(mktemp -d)
trap 'rm -rf "$corpus" "$records"' EXIT
cp examples/routes/*.route examples/demo/Config/TKMFD/routes/*.route tests/data/*.route "$corpus"/
build-fuzz/fuzz/fuzz_route_reader -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
  -max_len=65536 "$corpus"
build-fuzz/fuzz/fuzz_route_check -max_total_time="$(( (seconds + 3) / 4 ))" -timeout=2 -rss_limit_mb=2048 \
  -max_len=65536 "$corpus"
build-fuzz/fuzz/fuzz_route_writer -max_total_time="$(( (seconds + 3) / 4 ))" -timeout=1 -rss_limit_mb=2048 \
  -max_len=4096 "$records"
