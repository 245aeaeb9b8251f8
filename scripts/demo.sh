#!/usr/bin/env bash
# The main job: set-up, build, then fly the demo scenario in the simulator
# and show where its pictures, log and summary are.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
scripts/setup.sh runtime
tarvik_configure . build -DCMAKE_BUILD_TYPE=RelWithDebInfo
tarvik_build build TarvikMFD tarvik-sim
build/bin/tarvik-sim examples/demo/demo.json --out out/demo
cat <<'DONE'

Look in out/demo/:
  overview.png  a sheet of the four displays at six moments of the flight
  frames/       every display every 30 s, as PNG
  host.log      the host log, with the module's route parsing
  summary.txt   the summary printed above
DONE
