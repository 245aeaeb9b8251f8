#!/usr/bin/env bash
# Usage: scripts/setup.sh [runtime|package|all] — installs the Debian packages
# the project needs, skipping those already there. "runtime" is what the demo
# builds and runs with (the module, the simulator, tarvik-route); "package"
# adds what scripts/package.sh and scripts/install-module.sh use (zip, unzip,
# python3-markdown for the manual's page); "all", the default, adds those,
# the test frameworks, clang with its runtimes for the fuzz and coverage
# builds and llvm for the coverage report (Debian's default version, not a
# pinned one), the German locale some tests read numbers under, setpriv
# (util-linux) for the tests that run a case as nobody, and GNU time for
# scripts/measure-large-inputs.sh, and chromium and node for the planner's
# browser test (scripts/setup-browser.sh). Safe to run again.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
runtime=(cmake ninja-build g++ pkg-config libcairo2-dev nlohmann-json3-dev libpugixml-dev libcli11-dev libcpp-httplib-dev fonts-dejavu-core)
packaging=(zip unzip python3-markdown)
testing=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev llvm locales util-linux time chromium nodejs)
case "${1:-all}" in
  runtime) packages=("${runtime[@]}") ;;
  package) packages=("${runtime[@]}" "${packaging[@]}") ;;
  all) packages=("${runtime[@]}" "${packaging[@]}" "${testing[@]}") ;;
  *) echo "usage: scripts/setup.sh [runtime|package|all]" >&2; exit 2 ;;
esac
tarvik_install_packages setup "${packages[@]}"
[ "${1:-all}" = all ] || exit 0
# A German locale, for the tests that numbers read the same under it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  tarvik_as_root sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | tarvik_as_root tee -a /etc/locale.gen >/dev/null
  tarvik_as_root locale-gen >/dev/null
fi
# The planner's browser test: playwright-core from npm, Debian's chromium.
"$(dirname "$0")/setup-browser.sh"
