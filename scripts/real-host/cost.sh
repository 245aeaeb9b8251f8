#!/usr/bin/env bash
# What one redraw of the left display costs in the real host: the host
# (patched: patches/05-redraw-times.patch) times each redraw from the
# sketchpad's creation to its release, the renderer's work included; the
# test driver shows the cases in turn, round after round, and marks when.
# Flown twice: with the module as built, and with the module built with
# TARVIK_DRAW_EVERYTHING (every drawing call passed on to the host); the
# two flights' screenshots of the display must not differ in one pixel.
#
# Usage: scripts/real-host/cost.sh [SOURCE]   (scripts/real-host.sh --cost)
#   TARVIK_COST_ROUNDS (default 5), TARVIK_COST_SECONDS (default 5 per phase)
# Fails unless every route file loaded without error, each phase has
# redraws of the mode it meant to time, the maps show the routes, and the
# flights' screenshots agree. Results in out/real-host-cost/: report.md,
# and per flight (culled/, everything/) the redraw times, driver report,
# screenshots and the host's log.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
source scripts/lib.sh
scripts/setup.sh
scripts/real-host/build-host.sh "$@"

run=$root/build-realhost/run
sdk=$run/Orbitersdk
out=$root/out/real-host-cost
rounds=${TARVIK_COST_ROUNDS:-5}
seconds=${TARVIK_COST_SECONDS:-5}
# The left display's drawing area in the host's 1024x768 window (as the
# real-host test's checks have it), for ImageMagick.
display_area=364x365+48+366
# Its part below the block of waypoint details, which a route adds by itself
# (and around the vessel, where the routes are).
route_area=364x205+48+526

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
for flavour in culled everything; do
  build=$root/build-realhost/cost-$flavour
  everything=OFF
  [ "$flavour" = culled ] || everything=ON
  tarvik_configure tests/real_host "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DTARVIK_DRAW_EVERYTHING=$everything \
    -DORBITER_SDK_INCLUDE="$sdk/include" -DORBITER_SDK_LIBRARY="$sdk/lib/libOrbitersdk.a"
  tarvik_build "$build" TarvikMFD TarvikTestDriver
done

# A spiral round the landing facility, 100 m between points; every
# waypoint a 50 m circle. Cost20 is its first 20 points.
routes=$run/Config/TKMFD/routes
mkdir -p "$routes"
rm -f "$routes"/*.route
rm -rf "$out"
mkdir -p "$out/routes"
for n in 1000 20; do
  awk -v n="$n" 'BEGIN {
    print "BEGIN_POINTS"
    for (i = 0; i < n; i++) {
      a = i * 0.2; r = 0.002 + i * 0.00009
      printf "%.6f %.6f\n", -80.681146 + r * cos(a) / 0.878, 28.594722 + r * sin(a)
    }
    print "END_POINTS"; print "BEGIN_RUNWAYS"; print "-1 -1"; print "END_RUNWAYS"; print "BEGIN_WAYPOINTS"
    for (i = 0; i < n; i++) printf "POINT %d TURN 50 300 100 \"Spiral %d\"\n", i, i + 1
    print "END_WAYPOINTS" }' > "$out/routes/Cost$n.route"
done
cp "$out"/routes/*.route "$routes/"

# One flight with the module of a flavour; a run that broke off is flown
# once more (Xvfb and the software renderer are not ours), and says so.
fly() {
  local flavour=$1 dir=$out/$1 attempt status
  install -m 644 "$root/build-realhost/cost-$flavour/module/libTarvikMFD.so" \
    "$root/build-realhost/cost-$flavour/libTarvikTestDriver.so" "$run/Modules/Plugin/"
  for attempt in 1 2; do
    rm -rf "$dir"
    mkdir -p "$dir/shots" "$dir/driver"
    status=0
    TARVIK_DRIVER_DIR=$dir/driver TARVIK_DRIVER_PLAN=cost TARVIK_COST_ROUNDS=$rounds TARVIK_COST_SECONDS=$seconds \
      REALHOST_REDRAW_TIMES=$dir/redraw-times.txt \
      REALHOST_MODULES="TarvikTestDriver TarvikMFD" REALHOST_SHOT_AT=" " \
      REALHOST_HOOK="$root/tests/real_host/screenshot-hook.sh" \
      scripts/real-host/run-headless.sh "$run" "$root/tests/real_host/TarvikCape.scn" 1200 "$dir/shots" || status=$?
    echo "cost: $flavour flight: the host exited with status $status"
    if [ "$status" -eq 0 ] && grep -qx "TarvikTestDriver: done" "$dir/driver/driver-report.txt" 2>/dev/null; then
      return 0
    fi
    echo "cost: the $flavour flight broke off (attempt $attempt); its host output:"
    tail -20 "$dir/shots/host.out" 2>/dev/null || true
  done
  return 1
}

failures=()
fail() { failures+=("$*"); echo "cost: FAILED: $*"; }

# The redraws of the left display (display 0) inside each phase:
# "KIND ROUND MODE MICROSECONDS" lines.
attribute() {
  awk '
    FNR == NR { if ($2 == "phase") { n++; kind[n] = $3; round[n] = $5; from[n] = $7; to[n] = $9 } next }
    $1 == "redraw" && $3 == 0 {
      for (i = 1; i <= n; i++) if ($7 >= from[i] && $7 <= to[i]) { print kind[i], round[i], $5, $9; break }
    }' "$1/driver/driver-report.txt" "$1/redraw-times.txt"
}

# Differing pixels of an area of two screenshots.
differing() {
  # compare's status says "they differ": its count is the answer
  { compare -metric AE "$1[$3]" "$2[$3]" null: 2>&1 >/dev/null || true; } | awk '{ print int($1) }'
}

kinds="no-route-map-32km wp20-map-32km wp1000-map-2km wp1000-map-32km wp1000-table surface"
for flavour in culled everything; do
  dir=$out/$flavour
  fly "$flavour" || { fail "$flavour flight: the host did not finish the plan"; continue; }
  log=$dir/shots/Orbiter.log
  loaded=$(grep -c "Tarvik MFD: Parsing completed!" "$log" || true)
  [ "$loaded" -eq $((2 * rounds)) ] || fail "$flavour flight: $loaded route files loaded, not $((2 * rounds))"
  ! grep -q "Tarvik MFD Log:" "$log" || fail "$flavour flight: a route file loaded with an error: $(grep -A1 "Tarvik MFD Log:" "$log" | tail -1)"
  ! grep -q "^error:" "$dir/redraw-times.txt" 2>/dev/null || fail "$flavour flight: $(grep -m1 "^error:" "$dir/redraw-times.txt")"
  attribute "$dir" > "$dir/phase-redraws.txt"
  for kind in $kinds; do
    for ((r = 0; r < rounds; r++)); do
      # At least three redraws, all of the mode the phase meant to time (the
      # host's Surface mode is 2).
      awk -v k="$kind" -v r="$r" '$1 == k && $2 == r { n++; if ((k == "surface") != ($3 == 2)) wrong++ }
        END { exit !(n >= 3 && wrong == 0) }' "$dir/phase-redraws.txt" \
        || fail "$flavour flight: phase $kind round $r has too few redraws, or of another mode"
    done
  done
  shots=$dir/shots
  for routed in wp20-map-32km wp1000-map-32km; do
    [ -f "$shots/cost-$routed.png" ] && [ -f "$shots/cost-no-route-map-32km.png" ] \
      || { fail "$flavour flight: screenshots missing"; break; }
    shown=$(differing "$shots/cost-no-route-map-32km.png" "$shots/cost-$routed.png" "$route_area")
    # The 20 waypoints' labels alone change some hundreds of pixels.
    [ "$shown" -ge 200 ] || fail "$flavour flight: the map of $routed differs from the map without a route in $shown pixels only"
  done
done

# The binding's culling must not change a pixel.
for shot in "$out"/culled/shots/cost-*.png; do
  [ -f "$shot" ] || { fail "no screenshots to compare"; break; }
  other=$out/everything/shots/$(basename "$shot")
  [ -f "$other" ] || { fail "$(basename "$shot") missing from the flight drawing everything"; continue; }
  diff=$(differing "$shot" "$other" "$display_area")
  echo "cost: $(basename "$shot" .png): $diff differing pixels with and without culling"
  [ "$diff" -eq 0 ] || fail "$(basename "$shot"): $diff pixels differ with and without culling"
done

# Per phase the median redraw; over rounds the median of those and their
# range (the spread between rounds).
summary() {
  awk -v k="$2" '$1 == k { t[$2] = t[$2] " " $4; c[$2]++; all++ }
    function median(list,   a, n, i, j, x) {
      n = split(list, a, " ")
      for (i = 2; i <= n; i++) { x = a[i]; for (j = i - 1; j >= 1 && a[j] > x; j--) a[j + 1] = a[j]; a[j + 1] = x }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    END {
      for (r in t) { m = median(t[r]) / 1000; ms = ms " " m; if (lo == "" || m < lo) lo = m; if (hi == "" || m > hi) hi = m }
      if (all == 0) { print "– | – | 0"; exit }
      printf "%.2f ms | %.2f–%.2f ms | %d\n", median(ms), lo, hi, all
    }' "$1/phase-redraws.txt"
}
{
  echo "Redraw of the left display, $rounds rounds of $seconds s per case."
  echo
  echo "| case | culled: median | between rounds | redraws | everything drawn: median | between rounds | redraws |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  for kind in $kinds; do
    row="| $kind "
    for flavour in culled everything; do
      if [ -f "$out/$flavour/phase-redraws.txt" ]; then row+="| $(summary "$out/$flavour" "$kind") "
      else row+="| – | – | – "; fi
    done
    echo "$row|"
  done
} > "$out/report.md"
cat "$out/report.md"

if ((${#failures[@]})); then
  printf 'cost: FAILED: %s\n' "${failures[@]}"
  exit 1
fi
echo "cost: all checks passed"
