#!/usr/bin/env bash
# TarvikMFD in the real host: builds the host's Linux port once (kept in
# build-realhost/run), builds the module and the test driver against its
# SDK, flies the Cape Canaveral route headless under Xvfb, and checks the
# screenshots, the host's log and the exit status.
# Usage: scripts/real-host.sh [SOURCE]   (SOURCE: the port's source folder or
# clone; default: ../shared/realhost/orbiter-linux-port.tar.xz)
# Results in out/real-host/: map.png, table.png, browser.png, error.png,
# shots/ (every screenshot, the host's log), driver/ (the driver's report).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh
scripts/real-host/build-host.sh "$@"

run=$root/build-realhost/run
sdk=$run/Orbitersdk
build=$root/build-realhost/test
[ -f "$build/build.ninja" ] || cmake -S tests/real_host -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBITER_SDK_INCLUDE="$sdk/include" -DORBITER_SDK_LIBRARY="$sdk/lib/libOrbitersdk.a" >/dev/null
cmake --build "$build" -j "$(nproc)"

# The module and the driver as a user installs a plug-in, and the routes.
install -m 644 "$build/module/libTarvikMFD.so" "$build/libTarvikTestDriver.so" "$run/Modules/Plugin/"
routes=$run/Config/TKMFD/routes
mkdir -p "$routes"
rm -f "$routes"/*.route
cp tests/real_host/routes/*.route "$routes/"

out=$root/out/real-host
rm -rf "$out/shots" "$out/driver" "$out/routes"
mkdir -p "$out/shots" "$out/driver" "$out/routes"
cp tests/real_host/routes/*.route "$out/routes/"
export TARVIK_DRIVER_DIR=$out/driver
# The driver first: the host unloads plug-ins last first, so the driver
# outlives TarvikMFD and sees its mode gone.
status=0
REALHOST_MODULES="TarvikTestDriver TarvikMFD" REALHOST_SHOT_AT=" " \
  REALHOST_HOOK="$root/tests/real_host/screenshot-hook.sh" \
  scripts/real-host/run-headless.sh "$run" "$root/tests/real_host/TarvikCape.scn" 400 "$out/shots" || status=$?
echo "$status" > "$out/exit-status"
echo "real-host: the host exited with status $status"

for shot in 01-map-empty:map-empty 04-map-route:map 02-browser:browser 08-table:table; do
  [ -f "$out/shots/${shot%%:*}.png" ] && cp "$out/shots/${shot%%:*}.png" "$out/${shot##*:}.png"
done
cp "$out"/shots/*-error.png "$out/error.png" 2>/dev/null || true

"$build/real_host_checks" "$out"
