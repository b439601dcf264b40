#!/usr/bin/env bash
# Writes a release into dist/: the Debian package for the release this machine
# runs; gradient-logo-VERSION-windows.zip with both Windows programs (named
# for their architecture), README, LICENSE and CHANGELOG; and SHA256SUMS.
# Everything is built afresh in build-release/. One commit gives the same bytes
# every time, in whatever folder it lies: every time stamp is the commit's,
# and no path, user, umask, time zone or locale of the build is kept.
# Usage: bash scripts/release.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh --install-only dpkg-dev zip g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "release: the work tree differs from its commit; the release is built from the tree as it is" >&2

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
version=$(sed -n 's/^project(GradientLogo VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
out=$root/build-release
rm -rf "$out" "$root/dist"
mkdir -p "$out" "$root/dist"

build() {  # build FOLDER TARGET cmake-options...: a Release build without its folders' paths
  local dir=$out/$1 target=$2; shift 2
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$root=. -ffile-prefix-map=$dir=." "$@" >/dev/null
  cmake --build "$dir" --target "$target"
}

echo "# the Debian package"
build linux package
cp "$out"/linux/package/gradient-logo_*.deb "$root/dist/"

echo "# the Windows programs"
zipped=gradient-logo-$version-windows
mkdir -p "$out/zip/$zipped"
for program in "win32 i686 x86" "win64 x86_64 x64"; do
  read -r dir arch name <<<"$program"
  build "$dir" gradient-logo -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGL_MINGW_ARCH="$arch"
  cp "$out/$dir/app/gradient-logo.exe" "$out/zip/$zipped/gradient-logo-$name.exe"
done
cp README.md LICENSE CHANGELOG.md "$out/zip/$zipped/"
# zip keeps each file's time and mode, and -X leaves out the owner and the
# extra time fields: all of them are set to the commit's here.
chmod 644 "$out/zip/$zipped"/*
touch -d "@$SOURCE_DATE_EPOCH" "$out/zip/$zipped" "$out/zip/$zipped"/*
(cd "$out/zip" && find "$zipped" | sort | zip -X -D -q "$root/dist/$zipped.zip" -@)

(cd "$root/dist" && sha256sum -- *.deb *.zip >SHA256SUMS)
echo "release $version in dist/:"
(cd "$root/dist" && ls -l)
