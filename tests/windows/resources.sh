#!/usr/bin/env bash
# Compiles the Windows resources with the mingw-w64 resource compiler, for a
# 32-bit and a 64-bit build, and checks what Windows will find in them: icon 1
# at 32 x 32 in 16 colours, and the common-controls 6.0.0.0 dependency for the
# build's own architecture. Usage: resources.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
resources=$(cd "$here/../../resources" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

project_version() { sed -nE 's/^project\([^ ]+ VERSION ([0-9.]+).*/\1/p' "$here/../../CMakeLists.txt"; }
status=0
for build in "i686 x86 4 X86 pe-i386" "x86_64 x86_64 8 amd64 pe-x86-64"; do
  read -r prefix processor size arch format <<<"$build"
  out="$work/$prefix"; mkdir "$out"
  cmake -DOUT="$out" -DPROCESSOR="$processor" -DPOINTER_SIZE="$size" -P "$resources/WindowsResources.cmake"
  # The host's C preprocessor serves: the script has no target-specific code.
  rc() { "$prefix-w64-mingw32-windres" --preprocessor=cpp -I "$out" -I "$resources" \
           -i "$resources/gradient-logo.rc" "$@"; }
  rc -O res -o "$out/resources.res"
  rc -O coff -o "$out/resources.o"
  echo "# $prefix"
  /usr/bin/python3 "$here/check_res.py" "$out/resources.res" "$arch" "$(project_version)" || status=1
  if "$prefix-w64-mingw32-objdump" -f "$out/resources.o" | grep -q "file format $format" &&
     "$prefix-w64-mingw32-objdump" -h "$out/resources.o" | grep -q '\.rsrc'; then
    echo "ok: a $format object with a .rsrc section, ready to link"
  else
    echo "FAILED: not a $format resource object"; status=1
  fi
done
exit "$status"
