#!/usr/bin/env bash
# Usage: scripts/measure-large-name.sh [BUILD] — time and peak memory of
# tarvik-route from-base on a base whose Name is 100 MB: three copies of it
# would make a route file larger than the module reads, so the command
# must refuse it (status 1, one message) and write nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${1:-build}/bin/tarvik-route
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
  printf 'BASE-V2.0\nName = '
  head -c 100000000 /dev/zero | tr '\0' 'n'
  printf '\nlocation = -80.5 +28.5\nSize = 500\nBEGIN_OBJECTLIST\nRUNWAY\n  END1 1000 0 -500\n  END2 -1000 0 500\n  WIDTH 50\nEND\nEND_OBJECTLIST\n'
} >"$work/big.cfg"
status=0
/usr/bin/time -f '%e s, peak RSS %M KiB' -o "$work/time" "$tool" from-base "$work/big.cfg" -o "$work/out.route" \
  2>"$work/err" || status=$?
# The figure counts only for the refusal it is about.
expected="tarvik-route: cannot write a route file of $work/big.cfg: the route file would be larger than 268435456 bytes, the most the module reads"
if [ "$status" -ne 1 ] || [ "$(cat "$work/err")" != "$expected" ] || [ -e "$work/out.route" ]; then
  echo "from-base did not refuse the base: status $status, $(head -c 300 "$work/err")" >&2
  exit 1
fi
echo "from-base, 100 MB Name: refused with status 1 in $(tail -n 1 "$work/time")"
