#!/usr/bin/env bash
# scripts/lib.sh: a configure picks up a changed option in a build folder
# that exists, and only missing packages reach apt-get, with the
# non-interactive front end surviving sudo.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() {  # WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] && return 0
  printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3" >&2
  failures=$((failures + 1))
}

mkdir "$work/project"
cat >"$work/project/CMakeLists.txt" <<'END'
cmake_minimum_required(VERSION 3.16)
project(probe NONE)
option(PROBE "an option" OFF)
file(WRITE "${CMAKE_BINARY_DIR}/probe.txt" "${PROBE}")
END
tarvik_configure "$work/project" "$work/build" -DPROBE=ON
tarvik_configure "$work/project" "$work/build" -DPROBE=OFF
expect "the option of the second configure" OFF "$(cat "$work/build/probe.txt")"

# A machine where only "present" is installed, we are not root, and sudo
# resets the environment as it does by default.
mkdir "$work/bin"
cat >"$work/bin/dpkg-query" <<'END'
#!/bin/sh
[ "$3" = present ] && printf 'install ok installed'
exit 0
END
printf '#!/bin/sh\necho 1000\n' >"$work/bin/id"
printf '#!/bin/sh\nexec env -i PATH="$PATH" APT_LOG="$APT_LOG" "$@"\n' >"$work/bin/sudo"
printf '#!/bin/sh\necho "DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-} $*" >>"$APT_LOG"\n' >"$work/bin/apt-get"
chmod +x "$work/bin"/*
export APT_LOG=$work/apt.log
: >"$APT_LOG"
PATH="$work/bin:$PATH" tarvik_install_packages probe present 2>/dev/null
expect "apt-get calls with every package there" "" "$(cat "$APT_LOG")"
PATH="$work/bin:$PATH" tarvik_install_packages probe present absent 2>"$work/said"
expect "apt-get calls with one package missing" "DEBIAN_FRONTEND= update -qq
DEBIAN_FRONTEND=noninteractive install -y -qq absent" "$(cat "$APT_LOG")"
expect "what the install says" "probe: installing absent" "$(cat "$work/said")"
((failures == 0))
