#!/usr/bin/env bash
# Cross-builds the Windows program with Debian's mingw-w64, installing the
# cross compilers when they are missing: 32-bit into build-win32/ and 64-bit
# into build-win64/, each one static app/gradient-logo.exe. With --tests,
# also the widget tests against the Win32 backend, 64-bit, into
# build-win64-tests/, where ctest runs them under Wine (core_win32, runtime_win32, app_win32),
# and the Wine drive's screen-reader client beside each program.
# Usage: bash scripts/build-windows.sh [--tests]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/install-missing.sh" cmake ninja-build g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32

for build in "win32 i686" "win64 x86_64"; do
  read -r dir arch <<<"$build"
  cmake -S "$root" -B "$root/build-$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGL_MINGW_ARCH="$arch" >/dev/null
  cmake --build "$root/build-$dir" --target gradient-logo
  echo "built build-$dir/app/gradient-logo.exe"
  if [ "${1:-}" = --tests ]; then
    cmake --build "$root/build-$dir" --target accessible_names
    echo "built build-$dir/tests/windows/accessible_names.exe"
  fi
done

if [ "${1:-}" = --tests ]; then
  bash "$root/scripts/install-missing.sh" g++-mingw-w64-x86-64-posix libgtest-dev
  cmake -S "$root" -B "$root/build-win64-tests" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGL_MINGW_ARCH=x86_64 -DGL_MINGW_THREADS=posix \
    -DGRADIENT_LOGO_TESTS=ON >/dev/null
  cmake --build "$root/build-win64-tests"
  echo "built the Windows widget tests in build-win64-tests/"
fi
