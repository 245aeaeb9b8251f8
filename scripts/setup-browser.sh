#!/usr/bin/env bash
# Installs the planner's browser test driver (playwright-core, pinned by
# planner/package-lock.json) into planner/node_modules. The browser is
# Debian's /usr/bin/chromium: playwright never downloads one. Safe to run
# again: nothing is fetched while the installed tree is newer than the lock.
set -euo pipefail
cd "$(dirname "$0")/../planner"
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
if [ -d node_modules/playwright-core ] && [ node_modules/.package-lock.json -nt package-lock.json ]; then
  exit 0
fi
# Debian's nodejs comes without npm; a node that carries its own has it.
if ! command -v npm >/dev/null; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq npm >/dev/null
fi
npm ci --no-audit --no-fund --loglevel=error
