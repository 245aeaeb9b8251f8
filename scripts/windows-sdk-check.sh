#!/usr/bin/env bash
# Compiles every source of the Windows DLL against both editions of the
# official SDK headers, with clang for a Windows target in Microsoft
# extensions mode, syntax only. Not a build: objects made this way would not
# suit the Visual C++ host (another C++ ABI). The source list and the forced
# include are the ones the DLL's build reads (bindings/orbiter_sdk/
# module_sources.cmake, for WIN32). Also compiles the DLL's string resources
# and compares them with the texts of module/sim_glue/module_strings.cpp.
#
# Usage: scripts/windows-sdk-check.sh
# The SDK headers are expected in sdk-{2016,2024}/include of the host's
# material (scripts/real-host/material.sh: ../shared/realhost beside the
# repository). Shims and logs go to build-windows-check/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib.sh
# shellcheck source=real-host/material.sh
source scripts/real-host/material.sh
material=$(realhost_material "$root")

tarvik_install_packages windows-sdk-check clang g++-mingw-w64-x86-64 cmake

out=$root/build-windows-check
rm -rf "$out"
mkdir -p "$out"

# The DLL's sources and forced include, as its build lists them for Windows.
cat >"$out/list-sources.cmake" <<END
set(WIN32 1)
set(TARVIK_ROOT "$root")
include("$root/bindings/orbiter_sdk/module_sources.cmake")
file(WRITE "$out/sources.txt" "")
foreach(source \${TARVIK_MODULE_SOURCES} \${TARVIK_BINDING_SOURCES})
  file(APPEND "$out/sources.txt" "\${source}\n")
endforeach()
file(WRITE "$out/forced-include.txt" "\${TARVIK_FORCED_INCLUDE}")
END
cmake -P "$out/list-sources.cmake"
mapfile -t sources < <(sort -u "$out/sources.txt")
# A list that lost a part would pass without checking it.
for needed in route/ nav/ mfd/ module/ platform/folder_search.cpp bindings/orbiter_sdk/sdk_side.cpp bindings/orbiter_sdk/module_side_platform.cpp; do
  printf '%s\n' "${sources[@]}" | grep -q "^$root/$needed" || {
    echo "windows-sdk-check: no source under $needed in the DLL's list" >&2
    exit 1
  }
done
forced=()
if [ -s "$out/forced-include.txt" ]; then forced=(-include "$(cat "$out/forced-include.txt")"); fi

# The MinGW-w64 headers as system headers, in the order its g++ takes them:
# its C++ library, then clang's own compiler headers, then its C library.
# clang does not find them itself (Debian names the version "12-win32"), and
# the host's /usr/include must stay out.
mapfile -t mingw_dirs < <(x86_64-w64-mingw32-g++ -xc++ -E -v /dev/null 2>&1 |
  sed -n '/<...> search starts/,/End of search/p' | sed -n 's/^ //p')
system_includes=()
for dir in "${mingw_dirs[@]}"; do
  case $dir in */include/c++*) system_includes+=(-isystem "$(realpath "$dir")") ;; esac
done
system_includes+=(-isystem "$(clang++ -print-resource-dir)/include")
for dir in "${mingw_dirs[@]}"; do
  case $dir in */x86_64-w64-mingw32/include) system_includes+=(-isystem "$(realpath "$dir")") ;; esac
done
if ((${#system_includes[@]} != 10)); then
  echo "windows-sdk-check: MinGW-w64 header folders not as expected: ${mingw_dirs[*]}" >&2
  exit 1
fi

# What the SDK headers need here beyond the MinGW-w64 headers (Visual C++
# does without): two classes they name before declaring them, min and max
# (2016; MinGW's windows.h has no such macros in C++), and their Lua folder
# reached as lua/ and, in 2016, as lua\ (a file name with a backslash here).
prepare_shims() {
  local edition=$1 sdk=$2 shim=$out/shim-$1
  mkdir -p "$shim"
  ln -s "$sdk/Lua" "$shim/lua"
  for header in lua lualib lauxlib; do
    printf '#include "lua/%s.h"\n' "$header" >"$shim/lua\\$header.h"
  done
  {
    echo '#pragma once'
    echo 'class ATMOSPHERE;'
    echo 'class Instrument_User;'
    if [ "$edition" = sdk-2016 ]; then
      echo '#include <algorithm>'
      echo 'using std::max;'
      echo 'using std::min;'
    fi
  } >"$shim/before-sdk.h"
}

check() {
  local edition=$1 sdk=$2 source=$3 log=$4
  local shim=$out/shim-$edition
  clang++ --target=x86_64-w64-windows-gnu -std=c++20 -fms-extensions -fsyntax-only -nostdinc \
    "${system_includes[@]}" -Wall -Wextra -Wpedantic -Werror \
    -I"$root" -isystem "$shim" -isystem "$sdk" "${forced[@]}" -include "$shim/before-sdk.h" \
    "$source" >"$log" 2>&1
}

editions=(sdk-2016 sdk-2024)
jobs=$(nproc)
running=0
for edition in "${editions[@]}"; do
  sdk=$material/$edition/include
  if [ ! -f "$sdk/Orbitersdk.h" ]; then
    echo "windows-sdk-check: no SDK headers at $sdk" >&2
    exit 1
  fi
  sdk=$(cd "$sdk" && pwd)
  prepare_shims "$edition" "$sdk"
  mkdir -p "$out/logs/$edition"
  for i in "${!sources[@]}"; do
    (
      log=$out/logs/$edition/$i.log
      if check "$edition" "$sdk" "${sources[$i]}" "$log"; then echo ok >"$log.status"; else echo FAIL >"$log.status"; fi
    ) &
    running=$((running + 1))
    if ((running >= jobs)); then
      wait -n
      running=$((running - 1))
    fi
  done
done
wait

failures=0
for edition in "${editions[@]}"; do
  for i in "${!sources[@]}"; do
    log=$out/logs/$edition/$i.log
    status=$(cat "$log.status" 2>/dev/null || echo FAIL)
    printf '%-4s %s %s\n' "$status" "$edition" "${sources[$i]#"$root"/}"
    if [ "$status" != ok ]; then
      failures=$((failures + 1))
      sed 's/^/     /' "$log"
    fi
  done
done

# The string resources: compiled, read back, and compared with the texts and
# the language of module/sim_glue/module_strings.cpp.
rc=bindings/orbiter_sdk/module_strings.rc
rc_log=$out/logs/module_strings.log
check_strings() {
  x86_64-w64-mingw32-windres -i "$rc" -O res -o "$out/module_strings.res" &&
    x86_64-w64-mingw32-windres -i "$out/module_strings.res" -O rc -o "$out/module_strings.read.rc" || return 1
  local cpp=module/sim_glue/module_strings.cpp read=$out/module_strings.read.rc
  local language primary sub
  language=$(sed -n 's/.*kLanguage = \([0-9][0-9]*\);.*/\1/p' "$cpp")
  read -r primary sub < <(sed -n 's/^LANGUAGE \([0-9][0-9]*\), *\([0-9][0-9]*\)$/\1 \2/p' "$read")
  if [ -z "$language" ] || [ -z "${primary:-}" ] || ((primary + (sub << 10) != language)); then
    echo "language: module_strings.cpp '${language}', resources '${primary:-?}, ${sub:-?}'"
    return 1
  fi
  local id name expected actual
  for id in 1000:kModuleDescriptionId 1001:kModuleCategoryId; do
    name=${id#*:}
    id=${id%%:*}
    expected=$(sed -n "s/.*{$name, kLanguage, \"\(.*\)\"}.*/\1/p" "$cpp")
    actual=$(sed -n "s/^ *$id, \"\(.*\)\"$/\1/p" "$read")
    if [ -z "$expected" ] || [ "$(printf '%b' "$expected")" != "$(printf '%b' "$actual")" ]; then
      echo "string $id: module_strings.cpp \"$expected\", resources \"$actual\""
      return 1
    fi
  done
}
if check_strings >"$rc_log" 2>&1; then
  printf '%-4s %s %s\n' ok resource "$rc"
else
  printf '%-4s %s %s\n' FAIL resource "$rc"
  sed 's/^/     /' "$rc_log"
  failures=$((failures + 1))
fi

# The entry points: each source that defines some is compiled to an object
# (the MinGW one: only its export directives are read), and every function
# defined with DLLCLBK must be exported by name.
mapfile -t entry_sources < <(grep -l '^DLLCLBK .*) *{' "${sources[@]}" || true)
exports_log=$out/logs/exports.log
check_exports() {
  if ((${#entry_sources[@]} == 0)); then
    echo "no source defines an entry point"
    return 1
  fi
  local source object expected exported name
  for source in "${entry_sources[@]}"; do
    object=$out/$(basename "$source" .cpp).o
    clang++ --target=x86_64-w64-windows-gnu -std=c++20 -fms-extensions -c -nostdinc \
      "${system_includes[@]}" -Wall -Wextra -Wpedantic -Werror -I"$root" "${forced[@]}" \
      "$source" -o "$object" || return 1
    x86_64-w64-mingw32-objcopy --dump-section .drectve="$object.drectve" "$object" "$object.copy" || return 1
    exported=$(tr ' ' '\n' <"$object.drectve" | sed -n 's/^-export:\([A-Za-z_0-9]*\).*/\1/p' | sort)
    expected=$(sed -n 's/^DLLCLBK .*[^A-Za-z_0-9]\([A-Za-z_][A-Za-z_0-9]*\)(.*) *{.*/\1/p' "$source" | sort)
    if [ -z "$expected" ] || [ "$expected" != "$exported" ]; then
      echo "${source#"$root"/}: defined with DLLCLBK: $(echo $expected); exported: $(echo $exported)"
      return 1
    fi
  done
}
if check_exports >"$exports_log" 2>&1; then
  for source in "${entry_sources[@]}"; do printf '%-4s %s %s\n' ok exports "${source#"$root"/}"; done
else
  printf '%-4s %s %s\n' FAIL exports entry-points
  sed 's/^/     /' "$exports_log"
  failures=$((failures + 1))
fi

total=$((${#sources[@]} * ${#editions[@]} + 2))
echo "windows-sdk-check: $((total - failures)) of $total passed"
((failures == 0))
