#!/usr/bin/env bash
# Usage: scripts/coverage.sh — line and branch coverage of the module's
# code (route/, nav/, mfd/, module/, platform/) by every test, with clang's
# source-based coverage. Builds into build-coverage/ and writes the report
# to out/coverage/report.txt; docs/coverage.md keeps the last figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
scripts/setup.sh
flags="-fprofile-instr-generate -fcoverage-mapping"
# Compilers as options, not CC/CXX: those count only in a new build folder.
tarvik_configure . build-coverage -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DTARVIK_BENCH=OFF "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate" "-DCMAKE_SHARED_LINKER_FLAGS=-fprofile-instr-generate"
tarvik_build build-coverage
profiles=build-coverage/profiles
rm -rf "$profiles"
mkdir -p "$profiles" out/coverage
# Every process writes its own profile, the module loaded into each too.
# The profile runtime adds exports of its own to the module, so the check
# of the module's exports is left to the plain build.
LLVM_PROFILE_FILE="$PWD/$profiles/%p-%m.profraw" ctest --test-dir build-coverage -j "$(nproc)" \
  --output-on-failure -E 'ModuleLibraryTest.ExportsOnlyTheEntryPoints'
# Children that tests end on purpose (an address space capped until memory
# runs out) leave profiles cut short; the others are merged.
llvm-profdata merge -sparse -failure-mode=all "$profiles"/*.profraw -o build-coverage/tests.profdata
objects=(build-coverage/TarvikMFD.so)
for program in build-coverage/tests/*_tests build-coverage/bin/tarvik-route build-coverage/bin/tarvik-sim; do
  objects+=(-object "$program")
done
llvm-cov report "${objects[@]}" -instr-profile=build-coverage/tests.profdata \
  route/ nav/ mfd/ module/ platform/ | tee out/coverage/report.txt
