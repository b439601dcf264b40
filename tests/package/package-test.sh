#!/usr/bin/env bash
# The Debian package as a user meets it: built by CPack from the build, checked
# by lintian (no errors), then installed with apt-get into a fresh minimal
# root of the release this machine runs, made by debootstrap, where the installed gradient-logo starts
# under Xvfb, shows its window and ends on SIGTERM. The root is made and removed
# here; it needs root and Debian's package archive, and fails loudly without.
# Usage: package-test.sh build-dir
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)

source "$here/../lib.sh" "$build/app/gradient-logo"

echo "# the package"
rm -rf "$build/package"
cmake --build "$build" --target package >/dev/null
deb=$(ls "$build"/package/gradient-logo_*.deb)
check "lintian finds no error" lintian --allow-root --fail-on error "$deb"
dpkg-deb -c "$deb" | awk '{print $NF}' >"$build/package/contents.txt"
holds() { grep -qx "./usr/$1" "$build/package/contents.txt"; }
check "it holds the program" holds bin/gradient-logo
check "it holds the desktop entry" holds share/applications/io.gradientlogo.gradientlogo.desktop
check "it holds the icons" holds share/icons/hicolor/32x32/apps/io.gradientlogo.gradientlogo.png
check "it holds the metainfo" holds share/metainfo/io.gradientlogo.gradientlogo.metainfo.xml
check "it holds the manual page" holds share/man/man1/gradient-logo.1.gz
check "it holds the licence" holds share/doc/gradient-logo/copyright
check "its library dependencies come from the binary" bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libqt6widgets6 (>='"

# One version and day, set in CMake's project(): the package, its manual page,
# its changelog and metainfo, and CHANGELOG.md say the same.
top="$here/../.."
version=$(sed -n 's/^project(GradientLogo VERSION \([0-9.]*\) .*/\1/p' "$top/CMakeLists.txt")
day=$(sed -n 's/^set(GL_RELEASE_DATE \(.*\))/\1/p' "$top/CMakeLists.txt")
shipped() { dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/$1" | { [[ $1 != *.gz ]] && cat || zcat; }; }
says() { [ "$1" = "$2" ] || { echo "  it says '$1', not '$2'"; return 1; }; }
check "the package is version $version" says "$(dpkg-deb -f "$deb" Version)" "$version"
check "its manual page names $version of $day" says "$(shipped man/man1/gradient-logo.1.gz | sed -n 's/^\.TH [^ ]* 1 \([^ ]*\) "Gradient Logo \([^"]*\)".*/\2 \1/p')" "$version $day"
check "its changelog's newest entry is $version" says "$(shipped doc/gradient-logo/changelog.gz | sed -n '1s/^gradient-logo (\([^)]*\)).*/\1/p')" "$version"
check "its metainfo's newest release is $version of $day" says "$(shipped metainfo/io.gradientlogo.gradientlogo.metainfo.xml |
  sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' | head -n1)" "$version $day"
check "the install page names the package of $version" grep -qF "gradient-logo_${version}_" "$top/docs/install.md"
check "CHANGELOG.md's newest entry is $version of $day" says "$(sed -n 's/^## \[\([^]]*\)\] - \(.*\)/\1 \2/p' "$top/CHANGELOG.md" | head -n1)" "$version $day"

codename=$(os_release VERSION_CODENAME)
echo "# installed into a fresh Debian $(debian_release), the release this machine runs"
root="$work/root"
debian_root "$codename" "$root"
start_xvfb
cp "$deb" "$root/tmp/"
apt_install() {
  timeout 600 chroot "$root" sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/$(basename "$deb")" \
    >"$work/apt.log" 2>&1 || { tail -20 "$work/apt.log"; return 1; }
}
check "apt-get installs the package and what it needs (10 minutes each try)" retried apt_install
check "the program is on the PATH" chroot "$root" sh -c 'command -v gradient-logo >/dev/null'
check "its manual page is there" test -s "$root/usr/share/man/man1/gradient-logo.1.gz"
check "bash completes its options" bash -c "cd '$root/usr/share/bash-completion/completions' && source gradient-logo &&
  COMP_WORDS=(gradient-logo --col) COMP_CWORD=1 && _gradient_logo && [ \"\${COMPREPLY[*]}\" = '--color1 --color2' ]"

mkdir -p "$root/tmp/run"
start_app "$root/tmp/run" chroot "$root" env -i DISPLAY="$DISPLAY" PATH=/usr/bin:/bin HOME=/tmp \
  sh -c 'cd /tmp/run && exec gradient-logo'
check "the installed program shows its window" test -n "$win"
check "the window is 365 x 140" bash -c "xdotool getwindowgeometry '$win' | grep -q 'Geometry: 365x140'"
kill -TERM "$app_pid"
check "SIGTERM ends it" ended
status=0; wait "$app_pid" || status=$?
check "it ends cleanly (status $status)" test "$status" -eq 0
[ "$failures" -eq 0 ] || cat "$work/app.log"

finish
