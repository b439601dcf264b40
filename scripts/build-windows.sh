#!/usr/bin/env bash
# Cross-builds the Windows program with Debian's mingw-w64, installing the
# cross compilers when they are missing: 32-bit into build-win32/ and 64-bit
# into build-win64/, each one static app/gradient-logo.exe.
# Usage: bash scripts/build-windows.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/install-missing.sh" cmake ninja-build g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32

for build in "win32 i686" "win64 x86_64"; do
  read -r dir arch <<<"$build"
  cmake -S "$root" -B "$root/build-$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGL_MINGW_ARCH="$arch" >/dev/null
  cmake --build "$root/build-$dir" --target gradient-logo
  echo "built build-$dir/app/gradient-logo.exe"
done
