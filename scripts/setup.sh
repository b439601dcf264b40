#!/usr/bin/env bash
# Installs what is missing (Debian 12 or 13), then configures and builds into build/.
# Usage: scripts/setup.sh [--install-only] [--tests [--windows]] [extra packages...]
#   with --install-only: installs, and builds nothing;
#   without --tests: only what building and running the tool needs, and the tool alone;
#   with --tests: also every tool the tests use, and the tests themselves;
#   with --windows as well: the cross compilers and Wine, for the Windows programs' tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

tests=OFF
windows=OFF
install_only=
if [ "${1:-}" = --install-only ]; then install_only=1; shift; fi
if [ "${1:-}" = --tests ]; then tests=ON; shift; fi
if [ "$tests" = ON ] && [ "${1:-}" = --windows ]; then windows=ON; shift; fi
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

# The tool: its compiler and build tools, Qt with its display plugins, the
# font it draws with, and Qt's own texts in the user's language and its
# Wayland platform.
packages=("$@" cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins
          fonts-liberation2 qt6-translations-l10n qt6-wayland)
# The tests: the names exist on Debian 12 and 13 alike. The widget,
# end-to-end, window manager, Wayland, accessibility and install tests need the
# first list; GL_SUITES_ONLY=1 (the other release's root) stops there. The
# rest serve the fuzzer, the benchmarks, memcheck, the save faults (an exFAT
# stick among them), the package, the Debian roots and the Windows resources.
if [ "$tests" = ON ]; then
  packages+=(git libgtest-dev libgmock-dev
             xvfb xauth xdotool x11-utils imagemagick
             desktop-file-utils appstream strace
             openbox weston
             dbus-daemon dbus-bin at-spi2-core python3-pyatspi locales
             orca speech-dispatcher speech-dispatcher-audio-plugins)
  [ -n "${GL_SUITES_ONLY:-}" ] ||
    packages+=(clang libclang-rt-dev libbenchmark-dev bc valgrind
               dpkg-dev zip lintian debootstrap binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
               exfat-fuse exfatprogs)
fi
# The Windows programs: built by mingw-w64, run by Wine; the 32-bit one needs
# Wine's 32-bit half, from the i386 architecture. Their widget tests need the
# posix thread model's compiler, for GoogleTest (built from libgtest-dev's sources).
if [ "$windows" = ON ]; then
  packages+=(g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix
             python3 wine wine64 fonts-wine)
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
fi
bash "$root/scripts/install-missing.sh" "${packages[@]}"
# Apart, so that an archive whose i386 half is out of step with its amd64 half
# (a mirror mid-sync) holds back only the 32-bit Windows program's runs: their
# test fails, saying so, on a kernel that could run them.
if [ "$windows" = ON ]; then
  bash "$root/scripts/install-missing.sh" wine32:i386 ||
    echo "setup: wine32:i386 could not be installed; the 32-bit Windows program cannot run under Wine" >&2
fi

[ -z "$install_only" ] || exit 0
if [ "$tests" = ON ]; then
  # The German locale that the tests run the tool in.
  locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8' || "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRADIENT_LOGO_TESTS=ON >/dev/null
  cmake --build "$root/build"
else
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build" --target gradient-logo
fi
