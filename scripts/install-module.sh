#!/usr/bin/env bash
# Installs the module's archive (scripts/package.sh) into a host installation
# of the Linux port, as a user would by hand: unpacks it into the host's
# folder and adds TarvikMFD to the ACTIVE_MODULES block of Orbiter_NG.cfg.
# Safe to run again: the entry is added once; the file is backed up to
# Orbiter_NG.cfg.before-TarvikMFD before it is changed. Route files the user
# already has under Config/TKMFD/routes/ are never overwritten: a packaged
# example of the same name is left out, and said so.
#
# Usage: scripts/install-module.sh HOST_FOLDER [PACKAGE.zip]
#   PACKAGE.zip  default: out/package/TarvikMFD-<version>-linux-x86_64.zip
set -euo pipefail
die() { echo "install-module: error: $*" >&2; exit 1; }
note() { echo "install-module: $*"; }
repo="$(cd "$(dirname "$0")/.." && pwd)"

[ $# -ge 1 ] && [ $# -le 2 ] || die "usage: scripts/install-module.sh HOST_FOLDER [PACKAGE.zip]"
host=$1
[ -d "$host" ] || die "no folder $host"
cfg=$host/Orbiter_NG.cfg
[ -f "$cfg" ] || die "no Orbiter_NG.cfg in $host: give the host's folder (the host writes the file when it first runs)"
if [ $# -ge 2 ]; then
  package=$2
else
  version=$(sed -n 's/^project(TarvikMFD VERSION \([0-9][0-9.]*\) .*/\1/p' "$repo/CMakeLists.txt")
  package=$repo/out/package/TarvikMFD-$version-linux-x86_64.zip
fi
[ -f "$package" ] || die "no package $package (scripts/package.sh makes it)"
command -v unzip >/dev/null || die "unzip missing (scripts/setup.sh package installs it)"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$package" -d "$unpacked" || die "cannot unpack $package"
[ -f "$unpacked/Modules/Plugin/libTarvikMFD.so" ] || die "$package holds no Modules/Plugin/libTarvikMFD.so"

# The module and its documents are the package's own: replaced.
install -D -m 644 "$unpacked/Modules/Plugin/libTarvikMFD.so" "$host/Modules/Plugin/libTarvikMFD.so"
rm -rf "$host/Doc/TarvikMFD"
mkdir -p "$host/Doc"
cp -r "$unpacked/Doc/TarvikMFD" "$host/Doc/"
# Route files are the user's once they are there.
mkdir -p "$host/Config/TKMFD/routes"
for route in "$unpacked"/Config/TKMFD/routes/*; do
  [ -f "$route" ] || continue
  name=Config/TKMFD/routes/$(basename "$route")
  if [ ! -e "$host/$name" ]; then
    install -m 644 "$route" "$host/$name"
  elif ! cmp -s "$route" "$host/$name"; then
    note "kept your $name: the packaged example of that name is not installed"
  fi
done

# The host reads the block's lines up to END_MODULES (any case), trimmed.
listed=$(awk '/^[[:space:]]*ACTIVE_MODULES[[:space:]]*\r?$/ { on = 1; next }
              on && toupper($0) ~ /^END_MODULES/ { on = 0 }
              on { gsub(/[[:space:]]/, ""); if ($0 == "TarvikMFD") found = 1 }
              END { print found ? "yes" : "no" }' "$cfg")
if [ "$listed" = yes ]; then
  note "TarvikMFD is already active in $cfg"
else
  cp -p "$cfg" "$cfg.before-TarvikMFD"
  awk '/^[[:space:]]*ACTIVE_MODULES[[:space:]]*\r?$/ && !done { on = 1 }
       on && toupper($0) ~ /^END_MODULES/ { print "  TarvikMFD"; on = 0; done = 1 }
       { print }
       END { if (!done) { print "ACTIVE_MODULES"; print "  TarvikMFD"; print "END_MODULES" } }' \
    "$cfg.before-TarvikMFD" > "$cfg"
  note "TarvikMFD added to the active modules in $cfg (the file before: $cfg.before-TarvikMFD)"
fi
note "installed $(basename "$package") into $host"
