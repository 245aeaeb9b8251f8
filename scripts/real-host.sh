#!/usr/bin/env bash
# TarvikMFD in the real host: builds the host's Linux port once (kept
# outside the clone, a fresh copy in build-realhost/run for each run), builds
# the module and the test driver against its SDK, packages the module and
# installs the package into the host as a user would, flies the Cape
# Canaveral route headless under Xvfb, and checks the screenshots, the
# host's log and the exit status.
#
# Usage: scripts/real-host.sh [--cost] [SOURCE]
#   SOURCE  the port's source folder or clone (default:
#           ../shared/realhost/orbiter-linux-port.tar.xz)
#   --cost  instead of the test, measure what one redraw of the display
#           costs (scripts/real-host/cost.sh; out/real-host-cost/report.md)
# Results of the test in out/real-host/: map.png, table.png, browser.png,
# error.png, shots/ (every screenshot, the host's log), driver/ (the
# driver's report, the host's positions of Cape Canaveral's pads and
# runway ends), from-base/ (tarvik-route's skeleton of Canaveral.cfg),
# exit-status.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib.sh
if [ "${1:-}" = "--cost" ]; then
  shift
  exec scripts/real-host/cost.sh "$@"
fi
scripts/setup.sh
scripts/real-host/build-host.sh "$@"

run=$root/build-realhost/run
sdk=$run/Orbitersdk
build=$root/build-realhost/test
tarvik_configure tests/real_host "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBITER_SDK_INCLUDE="$sdk/include" -DORBITER_SDK_LIBRARY="$sdk/lib/libOrbitersdk.a"
tarvik_build "$build"
# The binding's SDK side against a stub of the host, before anything flies.
"$build/sdk_side_tests"

# The test driver, a plug-in of this test only, goes in beside the package
# and is activated first: the host unloads plug-ins last first, so the
# driver outlives TarvikMFD and sees its mode gone.
install -m 644 "$build/libTarvikTestDriver.so" "$run/Modules/Plugin/"
REALHOST_MODULES=TarvikTestDriver scripts/real-host/run-headless.sh --configure "$run"
# The module as a user installs it: the package, unpacked into the host and
# activated by the install script (the run folder is a fresh copy each time).
package=$(scripts/package.sh --library "$build/module/libTarvikMFD.so" --out "$root/out/package")
scripts/install-module.sh "$run" "$package"
routes=$run/Config/TKMFD/routes
rm -f "$routes"/*.route

out=$root/out/real-host
rm -rf "$out/routes"
mkdir -p "$out/routes"
cp tests/real_host/routes/*.route "$out/routes/"
cp "$out"/routes/*.route "$routes/"

# The check of tarvik-route from-base runs the tool of the main build:
# scripts/test.sh has built it in CI; on a clean clone only the tool is built.
tarvik_configure . build -DCMAKE_BUILD_TYPE=RelWithDebInfo
tarvik_build build tarvik-route

export TARVIK_DRIVER_DIR=$out/driver TARVIK_DRIVER_PLAN=test
# The plug-ins are those the configuration lists: TarvikMFD is active only
# because the install script made it so.
fly() {
  rm -rf "$out/shots" "$out/driver"
  mkdir -p "$out/shots" "$out/driver"
  status=0
  REALHOST_MODULES="" REALHOST_SHOT_AT=" " \
    REALHOST_HOOK="$root/tests/real_host/screenshot-hook.sh" \
    scripts/real-host/run-headless.sh "$run" "$root/tests/real_host/TarvikCape.scn" 400 "$out/shots" || status=$?
  echo "$status" > "$out/exit-status"
  echo "real-host: the host exited with status $status"
}
# Xvfb and the software renderer are not ours: a run that broke off (the
# host did not end by itself with 0, or the driver never finished) is flown
# once more, and says so. The checks judge whichever run came last.
fly
if [ "$status" -ne 0 ] || ! grep -qx "TarvikTestDriver: done" "$out/driver/driver-report.txt" 2>/dev/null; then
  echo "real-host: the run broke off (status $status); its host output:"
  tail -20 "$out/shots/host.out" 2>/dev/null || true
  echo "real-host: flying once more"
  fly
fi

for shot in 01-map-empty:map-empty 04-map-route:map 02-browser:browser 08-table:table; do
  [ -f "$out/shots/${shot%%:*}.png" ] && cp "$out/shots/${shot%%:*}.png" "$out/${shot##*:}.png"
done
cp "$out"/shots/*-error.png "$out/error.png" 2>/dev/null || true

TARVIK_REAL_HOST_OUT=$out TARVIK_ROUTE_PROGRAM=$root/build/bin/tarvik-route TARVIK_REAL_HOST_RUN=$run \
  ctest --test-dir "$build" --output-on-failure
