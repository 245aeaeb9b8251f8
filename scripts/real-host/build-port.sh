#!/usr/bin/env bash
# The port's build itself: unpacks the source, applies our patches, builds
# what the module's test needs and installs it into a new run folder. Run by
# build-host.sh, whose key of the kept build covers this file; the keeping
# and copying around it do not change what is built.
# Usage: scripts/real-host/build-port.sh SOURCE WORK_FOLDER RUN_FOLDER
#   SOURCE       the port's source folder or .tar.xz (absolute)
#   WORK_FOLDER  for the source tree, the build and their logs
#   RUN_FOLDER   made here: the installed host, its SDK and headless config
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ $# -eq 3 ] || { echo "usage: $0 SOURCE WORK_FOLDER RUN_FOLDER" >&2; exit 2; }
source_arg=$1
top=$2
run=$3
src="$top/src"
bld="$top/build"
stage="$top/stage"
jobs="${REALHOST_JOBS:-2}"
die() { echo "build-host: error: $*" >&2; exit 1; }
note() { echo "build-host: $*" >&2; }
[ ! -e "$run" ] || die "run folder $run is there already"
mkdir -p "$top"

# --- fresh source tree with our patches
rm -rf "$src"
mkdir -p "$src"
if [ -d "$source_arg" ]; then
  note "copying $source_arg"
  [ -f "$source_arg/CMakeLists.txt" ] && [ -d "$source_arg/Src/Orbiter" ] \
    || die "$source_arg does not look like the port's source (no CMakeLists.txt, Src/Orbiter)"
  # third-party add-ons and git data stay out
  tar -C "$source_arg" --exclude=./.git --exclude=./Addons -cf - . | tar -C "$src" -xf -
else
  note "unpacking $source_arg"
  tar -C "$src" --strip-components=1 -xJf "$source_arg"
fi
[ -f "$src/Extern/imgui/imgui.h" ] || die "submodules missing in the source (clone with --recurse-submodules)"
for p in "$here"/patches/*.patch; do
  patch -d "$src" -p1 --forward --quiet < "$p" || die "patch $(basename "$p") does not apply"
done

# --- configure and build
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
rm -rf "$bld"
note "configuring"
cmake -S "$src" -B "$bld" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DORBITER_BUILD_XRSOUND=OFF -DORBITER_MAKE_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX="$stage" >"$top/configure.log" 2>&1 \
  || { tail -30 "$top/configure.log" >&2; die "configure failed (see $top/configure.log)"; }

build() {
  note "building $*"
  cmake --build "$bld" -j "$jobs" --target "$@" >>"$top/build.log" 2>&1 \
    || { tail -40 "$top/build.log" >&2; die "build of $* failed (see $top/build.log)"; }
}
: >"$top/build.log"
# CopyData first: the OpenGL client needs its files but does not depend on it
build CopyData
build Orbiter_server OGLClient ShuttlePB Orbitersdk
# the celestial bodies' modules (Earth's among them)
if [ "${gen[*]}" = "-G Ninja" ]; then build Src/Celbody/all; else
  note "building Src/Celbody"
  cmake --build "$bld/Src/Celbody" -j "$jobs" >>"$top/build.log" 2>&1 \
    || { tail -40 "$top/build.log" >&2; die "build of Src/Celbody failed"; }
fi

# --- install only what was built
note "installing into $run"
rm -rf "$stage"
install_dir() {
  cmake -DCMAKE_INSTALL_LOCAL_ONLY="${2:-OFF}" -P "$bld/$1/cmake_install.cmake" >>"$top/install.log" 2>&1 \
    || { tail -20 "$top/install.log" >&2; die "install of ${1:-top level} failed"; }
}
: >"$top/install.log"
install_dir . ON
for d in Extern/lua-5.1.5 Src/Orbiter Src/Orbitersdk OVP/OGLClient Src/Vessel/ShuttlePB Src/Celbody; do
  [ -f "$bld/$d/cmake_install.cmake" ] || die "no $d in the build (has the port's layout changed?)"
  install_dir "$d"
done
[ -d "$stage/Orbiter" ] || die "install produced no $stage/Orbiter"
mv "$stage/Orbiter" "$run"
rm -rf "$stage"
# the SDK in one place: headers (with the imgui ones CopyData gathers) and library
mkdir -p "$run/Orbitersdk/lib"
cp -r "$bld/Orbitersdk/include" "$run/Orbitersdk/"
[ -f "$run/Orbitersdk/lib/libOrbitersdk.a" ] || cp "$bld/Src/Orbitersdk/libOrbitersdk.a" "$run/Orbitersdk/lib/"
[ -f "$run/Orbitersdk/include/Orbitersdk.h" ] || die "no SDK headers in $run/Orbitersdk/include"
[ -x "$run/Orbiter" ] || die "no host executable at $run/Orbiter after install"

# headless settings in the config
"$here/run-headless.sh" --configure "$run"

