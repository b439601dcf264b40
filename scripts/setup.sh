#!/usr/bin/env bash
# Installs what is missing (Debian 12), then configures and builds into build/.
# Usage: scripts/setup.sh [extra packages...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=("$@" cmake ninja-build g++ clang libclang-rt-14-dev pkg-config qt6-base-dev libgtest-dev libgmock-dev
          xvfb xauth xdotool x11-utils imagemagick fonts-liberation2
          desktop-file-utils appstream valgrind strace
          openbox weston qt6-wayland qt6-translations-l10n
          dbus-daemon dbus-bin at-spi2-core python3-pyatspi locales
          dpkg-dev lintian debootstrap binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)
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

# The German locale that the tests run the tool in.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  if [ "$(id -u)" -eq 0 ]; then localedef -i de_DE -f UTF-8 de_DE.UTF-8
  else sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8; fi
fi

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build"
