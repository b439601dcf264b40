#!/usr/bin/env bash
# Cross-builds the Windows program with Debian's mingw-w64, installing the
# cross compilers when they are missing: 32-bit into build-win32/ and 64-bit
# into build-win64/, each one static app/gradient-logo.exe.
# Usage: bash scripts/build-windows.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

for build in "win32 i686" "win64 x86_64"; do
  read -r dir arch <<<"$build"
  cmake -S "$root" -B "$root/build-$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" >/dev/null
  cmake --build "$root/build-$dir" --target gradient-logo
  echo "built build-$dir/app/gradient-logo.exe"
done
