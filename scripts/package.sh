#!/usr/bin/env bash
# Builds the module's archive for the host's Linux port, laid out as the
# host's add-ons are, to be unpacked into the host's folder:
#   Modules/Plugin/libTarvikMFD.so   the module, built against the port's SDK
#   Config/TKMFD/routes/             the example routes
#   Doc/TarvikMFD/                   the user's manual (one HTML page) and the changes
# It builds the Linux archive only. The Windows module is built with Visual
# C++ against the user's own SDK: docs/windows.md.
#
# Usage: scripts/package.sh [--library FILE] [--out DIR]
#   --library FILE  a libTarvikMFD.so already built against the port's SDK;
#                   by default it is built here against build-realhost/run/Orbitersdk
#                   (scripts/real-host/build-host.sh builds the port when missing)
#   --out DIR       where the archive goes, default out/package
# Prints the archive's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib.sh
die() { echo "package: error: $*" >&2; exit 1; }

library=""
out=$root/out/package
while [ $# -gt 0 ]; do
  case "$1" in
    --library) [ $# -ge 2 ] || die "--library needs a file"; library=$2; shift 2 ;;
    --out) [ $# -ge 2 ] || die "--out needs a folder"; out=$2; shift 2 ;;
    *) die "unknown argument '$1' (usage: scripts/package.sh [--library FILE] [--out DIR])" ;;
  esac
done

# The version is set once, in the top CMakeLists.txt.
version=$(sed -n 's/^project(TarvikMFD VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || die "no 'project(TarvikMFD VERSION x.y.z ...)' in CMakeLists.txt"
scripts/setup.sh package >&2

if [ -z "$library" ]; then
  scripts/real-host/build-host.sh >/dev/null
  sdk=$root/build-realhost/run/Orbitersdk
  build=$root/build-realhost/package-module
  tarvik_configure bindings/orbiter_sdk "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORBITER_SDK_INCLUDE="$sdk/include" -DORBITER_SDK_LIBRARY="$sdk/lib/libOrbitersdk.a"
  # Standard output is the archive's path alone.
  tarvik_build "$build" >&2
  library=$build/libTarvikMFD.so
fi
[ -f "$library" ] || die "no module library $library"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Modules/Plugin" "$stage/Config/TKMFD/routes" "$stage/Doc/TarvikMFD"
install -m 644 "$library" "$stage/Modules/Plugin/libTarvikMFD.so"
install -m 644 examples/routes/*.route "$stage/Config/TKMFD/routes/"
install -m 644 CHANGELOG.md "$stage/Doc/TarvikMFD/"

# The manual: one readable page from the user's documents, with the
# pictures they show. Debian's python3-markdown, so no network is needed.
manual=(docs/manual.md docs/controls.md docs/route-format.md)
for picture in $(sed -n 's/.*](\(images\/[^)]*\)).*/\1/p' "${manual[@]}" | sort -u); do
  install -D -m 644 "docs/$picture" "$stage/Doc/TarvikMFD/$picture"
done
/usr/bin/python3 - "$version" "$stage/Doc/TarvikMFD/TarvikMFD.html" "${manual[@]}" <<'EOF'
import html, sys
import markdown
version, target, sources = sys.argv[1], sys.argv[2], sys.argv[3:]
text = "[TOC]\n\n" + "\n\n".join(open(path, encoding="utf-8").read() for path in sources)
body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc", "sane_lists"])
title = html.escape(f"TarvikMFD {version}")
with open(target, "w", encoding="utf-8") as page:
    page.write(f"""<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>{title}</title>
<style>body{{font-family:sans-serif;max-width:60em;margin:2em auto;padding:0 1em;line-height:1.4}}
table{{border-collapse:collapse}}td,th{{border:1px solid #999;padding:.2em .5em;vertical-align:top}}
code,pre{{background:#f4f4f4}}pre{{padding:.5em;overflow-x:auto}}img{{max-width:100%}}</style>
</head><body>
<p>{title}</p>
{body}
</body></html>
""")
EOF

mkdir -p "$out"
zip=$(cd "$out" && pwd)/TarvikMFD-$version-linux-x86_64.zip
rm -f "$zip"
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | zip -q -X "$zip" -@)
echo "package: the Linux port's archive only; for Windows build with Visual C++ (docs/windows.md)" >&2
echo "$zip"
