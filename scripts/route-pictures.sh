#!/usr/bin/env bash
# Remakes the route plans in docs/images/ with the built tarvik-route:
# route-<name>.png for each example route, the demo's kestrel route and
# the real-host test's Cape Canaveral route. Build first (scripts/build.sh
# or cmake --build build --target tarvik-route).
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${TARVIK_ROUTE:-build/bin/tarvik-route}
if [[ ! -x $tool ]]; then
  echo "route-pictures: $tool not built; build the tarvik-route target first" >&2
  exit 2
fi
for route in examples/routes/*.route examples/demo/Config/TKMFD/routes/kestrel.route \
  tests/real_host/routes/CapeCanaveral.route; do
  name=$(basename "$route" .route)
  "$tool" draw "$route" -o "docs/images/route-$name.png"
  echo "docs/images/route-$name.png"
done
