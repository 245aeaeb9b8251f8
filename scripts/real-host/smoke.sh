#!/usr/bin/env bash
# Smoke run of the real host: builds it if needed, runs smoke.scn (a ShuttlePB
# on pad 1 of Cape Canaveral) headless for 20 s and checks that it quit
# cleanly, logged the session and drew something. Screenshot: out/real-host/smoke.png
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
out="$repo/out/real-host"
fail() { echo "smoke: FAIL: $*" >&2; exit 1; }

"$here/build-host.sh" "$@"
run="$repo/build-realhost/run"
rm -rf "$out/smoke"
mkdir -p "$out"
status=0
REALHOST_SHOT_AT="${REALHOST_SHOT_AT:-17}" \
  "$here/run-headless.sh" "$run" "$here/smoke.scn" 20 "$out/smoke" || status=$?
[ "$status" -eq 0 ] || fail "host exit status $status (see $out/smoke/)"

log="$out/smoke/Orbiter.log"
[ -f "$log" ] || fail "no host log"
grep -q "Creating simulation session" "$log" || fail "no session in the log"
grep -q "TERMINATING" "$log" && fail "host terminated on an error"
grep -q "Closing simulation session" "$log" || fail "session not closed in the log"

shot="$out/smoke/shot-${REALHOST_SHOT_AT:-17}s.png"
[ -f "$shot" ] || fail "no screenshot $shot"
cp "$shot" "$out/smoke.png"
# a rendered frame has many colours; a blank or uniform window has few
colours="$(identify -format '%k' "$out/smoke.png")"
[ "$colours" -ge 50 ] || fail "screenshot has only $colours colours"
echo "smoke: ok (exit 0, session logged, screenshot $out/smoke.png with $colours colours)"
