#!/usr/bin/env bash
# Time and peak memory of tarvik-route on large and lopsided inputs, as
# one Markdown table for docs/benchmarks.md. Makes the inputs in a
# temporary folder, runs each command under GNU time (package "time"), and
# checks that the input was read whole (the waypoint, point or diagnostic
# count in the output) before printing its row. Build first:
#   cmake --build build --target tarvik-route
# Usage: scripts/measure-large-inputs.sh [--quick]   (--quick: the small sizes only)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$(realpath "${TARVIK_ROUTE:-build/bin/tarvik-route}")
quick=${1:-}
if [[ ! -x $tool ]]; then
  echo "measure-large-inputs: $tool not built; build the tarvik-route target first" >&2
  exit 2
fi
if [[ ! -x /usr/bin/time ]]; then
  echo "measure-large-inputs: GNU time (/usr/bin/time) is missing; scripts/setup.sh installs it" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

header='BEGIN_POINTS
-80.6 28.6
-80.7 28.5
END_POINTS
BEGIN_RUNWAYS
0 1
END_RUNWAYS
BEGIN_WAYPOINTS'

repeat() {  # N LINE: the line N times
  awk -v n="$1" -v line="$2" 'BEGIN { for (i = 0; i < n; ++i) print line }'
}
faulty_lines() {  # N: a POINTS section of N lines that do not convert
  { echo BEGIN_POINTS; repeat "$1" 'x y'
    printf 'END_POINTS\nBEGIN_RUNWAYS\nEND_RUNWAYS\nBEGIN_WAYPOINTS\nEND_WAYPOINTS\n'; } >"$2"
}
long_description() {  # N: one waypoint whose description is N characters
  { echo "$header"; printf 'POINT 0 TURN 500 1000 100 "'; awk -v n="$1" 'BEGIN { while (n-- > 0) printf "a" }'
    printf '"\nRUNWAY 0 LAND 500\nEND_WAYPOINTS\n'; } >"$2"
}
root_attributes() {  # N: a GPX root of N attributes over a route of N points
  { printf '<?xml version="1.0"?>\n<gpx version="1.1" creator="measure"'
    awk -v n="$1" 'BEGIN { for (i = 1; i <= n; ++i) printf " a%d=\"v\"", i }'
    printf ' xmlns="http://www.topografix.com/GPX/1/1">\n<rte>\n'
    repeat "$1" '<rtept lat="28.6" lon="-80.6"><name>A</name></rtept>'
    printf '</rte></gpx>\n'; } >"$2"
}
waypoints() {  # N: N waypoints on one point, 17 bytes a line
  { echo "$header"; repeat "$1" 'POINT 0 TURN 100'; echo END_WAYPOINTS; } >"$2"
}
points() {  # N: N points and one waypoint
  { echo BEGIN_POINTS; repeat "$1" '-80.6 28.6'
    printf 'END_POINTS\nBEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\nPOINT 0 TURN 100\nEND_WAYPOINTS\n'; } >"$2"
}

echo "| input | command | file | exit | read | time | peak memory | peak / file |"
echo "|---|---|---:|---:|---|---:|---:|---:|"

# measure LABEL INPUT EXPECTED LIMIT COMMAND...: one row; fails when no
# line of the output matches EXPECTED (an extended regular expression, or
# - for a command that writes a file, checked after), which shows the
# input read whole. LIMIT caps the address space (bytes: prlimit takes no
# suffixes), or none.
measure() {
  local label=$1 input=$2 expected=$3 limit=$4
  shift 4
  local status=0 cap=()
  [[ $limit == none ]] || cap=(prlimit --as="$limit")
  /usr/bin/time -f '%e %M' -o "$work/time" "${cap[@]}" "$tool" "$@" >"$work/out" 2>"$work/err" || status=$?
  local found="the file written, checked below"
  [[ $expected == - ]] || found=$(grep -hoE -m1 -- "$expected" "$work/out" "$work/err" | head -n1 || true)
  if [[ -z $found ]]; then
    echo "measure-large-inputs: $label: nothing like /$expected/ in the output of tarvik-route $*" >&2
    head -c 600 "$work/err" >&2
    exit 1
  fi
  local seconds kib bytes command="tarvik-route $1"
  [[ ${2:-} != --* ]] || command+=" $2"
  read -r seconds kib < <(tail -n1 "$work/time")
  bytes=$(stat -c %s "$input")
  [[ $limit == none ]] || command+=" (address space $((limit >> 30)) GiB)"
  awk -v l="$label" -v c="$command" -v b="$bytes" -v s="$status" -v f="${found:0:60}" -v t="$seconds" -v k="$kib" \
    'BEGIN { printf "| %s | %s | %.1f MB | %d | `%s` | %.2f s | %.0f MiB | %.1f |\n", l, c, b / 1e6, s, f, t, k / 1024,
             k * 1024 / b }'
}

# The count of lines of the last output that hold TEXT must be N.
expect_lines() {
  local count
  count=$(grep -cF -- "$1" "$work/out" || true)
  if [[ $count != "$2" ]]; then
    echo "measure-large-inputs: $count lines with \"$1\", not $2" >&2
    exit 1
  fi
}

for n in 40000 400000; do
  faulty_lines "$n" "$work/faulty.route"
  measure "$n faulty point lines" "$work/faulty.route" "the module loads 0 points" none check "$work/faulty.route"
  expect_lines "error: error converting x to double." "$n"
done
for n in 10000 100000; do
  long_description "$n" "$work/described.route"
  measure "one description of $n characters" "$work/described.route" - none \
    draw "$work/described.route" -o "$work/plan.svg"
  if ! grep -q $'aaaa\xE2\x80\xA6' "$work/plan.svg"; then
    echo "measure-large-inputs: the plan does not show the description cut short" >&2
    exit 1
  fi
done
for n in 4000 40000; do
  root_attributes "$n" "$work/attributes.gpx"
  measure "GPX root of $n attributes, $n points" "$work/attributes.gpx" - none \
    import "$work/attributes.gpx" -o "$work/imported.route" --radius 500
  if [[ $(grep -c '^POINT' "$work/imported.route") != "$n" ]]; then
    echo "measure-large-inputs: the import of $n points did not write $n waypoints" >&2
    exit 1
  fi
done
if [[ $quick == --quick ]]; then exit 0; fi

waypoints 2000000 "$work/waypoints.route"
measure "2,000,000 waypoints" "$work/waypoints.route" '"Tarvik MFD: Parsing completed!"\]\}$' none \
  parse --json "$work/waypoints.route"
if [[ $(grep -o '"task":0' "$work/out" | wc -l) != 2000000 ]]; then
  echo "measure-large-inputs: parse --json did not write 2,000,000 waypoints" >&2
  exit 1
fi
measure "2,000,000 waypoints" "$work/waypoints.route" '^2000000 waypoint\(s\)$' none parse "$work/waypoints.route"
points 7300000 "$work/points.route"
measure "7,300,000 points" "$work/points.route" '^1 waypoint\(s\)$' none parse "$work/points.route"
measure "7,300,000 points" "$work/points.route" 'the module loads 7300000 points' none check "$work/points.route"
points 22500000 "$work/points.route"
measure "22,500,000 points" "$work/points.route" '^1 waypoint\(s\)$' $((10 << 30)) parse "$work/points.route"
measure "22,500,000 points" "$work/points.route" 'the module loads 22500000 points|not enough memory' $((10 << 30)) \
  check "$work/points.route"
