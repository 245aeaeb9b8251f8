#!/usr/bin/env bash
# Builds the host's community Linux port (with our patches) and gives each
# run a fresh copy of it in build-realhost/run/, the folder the host is
# started from.
# Usage: scripts/real-host/build-host.sh [SOURCE]
#   SOURCE: a source folder or git clone of the port (with submodules), or a
#   .tar.xz of it; default orbiter-linux-port.tar.xz of the host's material
#   (scripts/real-host/material.sh: ../shared/realhost beside the repo).
# The built host is kept outside the clone, in
# ${TARVIK_REALHOST_CACHE:-${XDG_CACHE_HOME:-~/.cache}/tarvik-mfd}/realhost-<key>,
# the key a hash of the source, the patches, the package list and the build
# recipe (build-port.sh): any clone on the machine with the same inputs skips
# the build. The kept build is never run: the host and the tests write into
# their copy.
set -euo pipefail

started=$(date +%s)
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
top="$repo/build-realhost"
run="$top/run"
cache="${TARVIK_REALHOST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvik-mfd}"

die() { echo "build-host: error: $*" >&2; exit 1; }
note() { echo "build-host: $*" >&2; }

# shellcheck source=../lib.sh
source "$here/../lib.sh"
# shellcheck source=material.sh
source "$here/material.sh"
if [ $# -ge 1 ]; then
  source_arg=$1
else
  material=$(realhost_material "$repo") || die "source not found"
  source_arg=$material/orbiter-linux-port.tar.xz
fi
[ -e "$source_arg" ] || die "source not found: $source_arg"
source_arg="$(cd "$(dirname "$source_arg")" && pwd)/$(basename "$source_arg")"

# --- Debian packages
mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$here/packages.txt" | grep -v '^$')
tarvik_install_packages build-host "${packages[@]}" || exit 1

# --- identity of what we would build
if [ -d "$source_arg" ]; then
  if git -C "$source_arg" rev-parse --git-dir >/dev/null 2>&1; then
    # a clone: its commit, its submodules' commits and any local change
    src_id="git $(git -C "$source_arg" rev-parse HEAD)
$(git -C "$source_arg" submodule status --recursive 2>/dev/null)
$(git -C "$source_arg" status --porcelain --ignore-submodules=none | sha256sum)"
  else
    # a plain folder: names, sizes and times of its files
    src_id="dir $(cd "$source_arg" && find . -path ./Addons -prune -o -type f -printf '%P %s %T@\n' | LC_ALL=C sort | sha256sum)"
  fi
else
  src_id="archive $(sha256sum < "$source_arg")"
fi
want="$( { echo "$src_id"; cat "$here"/patches/*.patch "$here/packages.txt" "$here/build-port.sh"; } | sha256sum | cut -d' ' -f1)"

kept="$cache/realhost-$want"

report() {
  local exe="$run/Orbiter"
  cat <<EOF
kept build:       $kept   (copied to the run folder for each run)
host executable:  $exe   (start it from $run)
run folder:       $run
SDK headers:      $run/Orbitersdk/include   (the port's Orbitersdk/include, plus imgui's)
SDK library:      $run/Orbitersdk/lib/libOrbitersdk.a
plug-in flags:    -std=gnu++17 -fPIC -fno-gnu-unique -isystem <SDK headers>, -shared, link only libOrbitersdk.a
plug-in folder:   $run/Modules/Plugin   (lib<Name>.so, listed under ACTIVE_MODULES)
config file:      $run/Orbiter_NG.cfg
log file:         \$ORBITER_LOG, else Orbiter.log in the working folder
time taken:       $(( $(date +%s) - started )) s
EOF
}

# A fresh run folder from the kept build: about 60 MB, copied in well under
# a second, so nothing a run writes (the host's config, its state, plug-ins,
# routes) reaches the kept build or the next run.
fresh_run() {
  rm -rf "$run"
  mkdir -p "$top"
  cp -a "$kept/run" "$run"
  report
}
if [ -f "$kept/complete" ] && [ -x "$kept/run/Orbiter" ]; then
  fresh_run
  exit 0
fi

mkdir -p "$cache"
keeping="$(mktemp -d "$cache/.realhost-$want.XXXXXX")"
chmod 755 "$keeping"
trap 'rm -rf "$keeping"' EXIT
"$here/build-port.sh" "$source_arg" "$top" "$keeping/run"

# Kept under its key in one rename; a build finished meanwhile by another
# run of the same inputs is as good, and ours goes.
touch "$keeping/complete"
[ -f "$kept/complete" ] || rm -rf "$kept"
mv -T "$keeping" "$kept" 2>/dev/null || note "kept build $kept made meanwhile by another run: using it"
fresh_run
