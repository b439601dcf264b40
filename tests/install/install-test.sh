#!/usr/bin/env bash
# Installs the build into a temporary prefix and validates what a desktop
# finds there: the binary, the desktop entry, the icons and the metainfo.
# Usage: install-test.sh build-dir
set -euo pipefail
build=$(realpath "$1")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
id=io.gradientlogo.gradientlogo
status=0
need() { if [ -e "$prefix/$1" ]; then echo "ok: $1"; else echo "FAILED: missing $1"; status=1; fi; }
need bin/gradient-logo
need "share/applications/$id.desktop"
need "share/metainfo/$id.metainfo.xml"
need "share/icons/hicolor/32x32/apps/$id.png"
need "share/icons/hicolor/128x128/apps/$id.png"
# Clean means not a hint either: both tools pass what they only remark on.
if out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) && [ -z "$out" ]; then
  echo "ok: desktop entry valid"
else echo "FAILED: desktop entry"; echo "$out"; status=1; fi
if out=$(appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) &&
   ! grep -q '^[EWIP]:' <<<"$out"; then
  echo "ok: metainfo valid, pedantically"
else echo "FAILED: metainfo"; echo "$out"; status=1; fi
[ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/32x32/apps/$id.png")" = 32x32 ] || { echo "FAILED: icon size"; status=1; }
exit "$status"
