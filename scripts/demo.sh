#!/usr/bin/env bash
# The main job: set-up, build, and show the example route as the module reads it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
build/tools/tarvik-route parse examples/routes/example.route
