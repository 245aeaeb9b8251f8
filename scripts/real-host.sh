#!/usr/bin/env bash
# TarvikMFD in the real host: builds the host's Linux port once (kept in
# build-realhost/run), builds the module and the test driver against its
# SDK, flies the Cape Canaveral route headless under Xvfb, and checks the
# screenshots, the host's log and the exit status.
#
# Usage: scripts/real-host.sh [--cost] [SOURCE]
#   SOURCE  the port's source folder or clone (default:
#           ../shared/realhost/orbiter-linux-port.tar.xz)
#   --cost  instead of the test, measure the host's frame time with the
#           left display closed and with TarvikMFD showing a route of
#           1,000 waypoints (out/real-host-cost/driver/driver-report.txt)
# Results of the test in out/real-host/: map.png, table.png, browser.png,
# error.png, shots/ (every screenshot, the host's log), driver/ (the
# driver's report, the host's positions of Cape Canaveral's pads and
# runway ends), from-base/ (tarvik-route's skeleton of Canaveral.cfg),
# exit-status.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
plan=test
if [ "${1:-}" = "--cost" ]; then
  plan=cost
  shift
fi
scripts/setup.sh
scripts/real-host/build-host.sh "$@"

run=$root/build-realhost/run
sdk=$run/Orbitersdk
build=$root/build-realhost/test
[ -f "$build/build.ninja" ] || cmake -S tests/real_host -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBITER_SDK_INCLUDE="$sdk/include" -DORBITER_SDK_LIBRARY="$sdk/lib/libOrbitersdk.a" >/dev/null
cmake --build "$build" -j "$(nproc)"
# The binding's SDK side against a stub of the host, before anything flies.
"$build/sdk_side_tests"

# The module and the driver as a user installs a plug-in.
install -m 644 "$build/module/libTarvikMFD.so" "$build/libTarvikTestDriver.so" "$run/Modules/Plugin/"
routes=$run/Config/TKMFD/routes
mkdir -p "$routes"
rm -f "$routes"/*.route

out=$root/out/real-host
[ "$plan" = test ] || out=$root/out/real-host-$plan
rm -rf "$out/routes"
mkdir -p "$out/routes"
if [ "$plan" = test ]; then
  cp tests/real_host/routes/*.route "$out/routes/"
else
  # 1,000 waypoints on a spiral round the landing facility, 100 m apart.
  awk 'BEGIN {
    print "BEGIN_POINTS"
    for (i = 0; i < 1000; i++) {
      a = i * 0.2; r = 0.002 + i * 0.00009
      printf "%.6f %.6f\n", -80.681146 + r * cos(a) / 0.878, 28.594722 + r * sin(a)
    }
    print "END_POINTS"; print "BEGIN_RUNWAYS"; print "END_RUNWAYS"; print "BEGIN_WAYPOINTS"
    for (i = 0; i < 1000; i++) printf "POINT %d TURN 50 300 100 \"Spiral %d\"\n", i, i + 1
    print "END_WAYPOINTS" }' > "$out/routes/Cost1000.route"
fi
cp "$out"/routes/*.route "$routes/"

# The check of tarvik-route from-base runs the tool of the main build:
# scripts/test.sh has built it in CI; on a clean clone only the tool is built.
if [ "$plan" = test ]; then
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target tarvik-route -j "$(nproc)"
fi

export TARVIK_DRIVER_DIR=$out/driver TARVIK_DRIVER_PLAN=$plan
# The driver first: the host unloads plug-ins last first, so the driver
# outlives TarvikMFD and sees its mode gone.
fly() {
  rm -rf "$out/shots" "$out/driver"
  mkdir -p "$out/shots" "$out/driver"
  status=0
  REALHOST_MODULES="TarvikTestDriver TarvikMFD" REALHOST_SHOT_AT=" " \
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

if [ "$plan" = cost ]; then
  grep "cost:" "$out/driver/driver-report.txt"
  exit "$status"
fi

for shot in 01-map-empty:map-empty 04-map-route:map 02-browser:browser 08-table:table; do
  [ -f "$out/shots/${shot%%:*}.png" ] && cp "$out/shots/${shot%%:*}.png" "$out/${shot##*:}.png"
done
cp "$out"/shots/*-error.png "$out/error.png" 2>/dev/null || true

TARVIK_REAL_HOST_OUT=$out TARVIK_ROUTE_PROGRAM=$root/build/tools/tarvik-route TARVIK_REAL_HOST_RUN=$run \
  ctest --test-dir "$build" --output-on-failure
