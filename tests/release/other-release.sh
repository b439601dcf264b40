#!/usr/bin/env bash
# The other Debian release that users run (13 on a machine that runs 12, 12 on
# one that runs 13), proven from here, so that a break on either shows on both:
# in a fresh minimal root of it, the start command's set-up builds the tool
# without any test tool and the window shows; then the test set-up, and the
# widget, end-to-end, accessibility, screen-reader, Wayland and install tests
# pass there; and its mingw-w64 builds both Windows programs, whose files pass
# their checks (machine type, imports, size, icon, manifest). They are run
# under Wine on this machine's release only.
# Needs root (debootstrap, chroot) and Debian's archive; fails loudly without.
# With GL_OTHER_RELEASE=testing it tries the next Debian instead, to warn of
# what it will break: there the start command's set-up, the test set-up without
# a warning, and the widget and end-to-end tests.
# Usage: [GL_OTHER_RELEASE=testing] other-release.sh
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
source "$repo/tests/lib.sh"

suites="runtime|app|e2e|accessibility|screen_reader|wayland|install"
if [ "${GL_OTHER_RELEASE:-}" = testing ]; then
  other=testing; name="testing"; suites="runtime|app|e2e"
else
  case "$(os_release VERSION_CODENAME)" in
    bookworm) other=trixie; name="13 (trixie)" ;;
    trixie) other=bookworm; name="12 (bookworm)" ;;
    *) fail "this machine runs Debian $(debian_release), not 12 (bookworm) or 13 (trixie)" ;;
  esac
fi
echo "# a fresh Debian $name"
root="$work/root"
debian_root "$other" "$root"
# Testing's Release file is valid for a week only; a mirror that lags behind
# must not stop the proof of our code.
[ "$other" != testing ] ||
  echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99gradient-logo-tests"
start_xvfb

# The project as it stands here, committed or not; build folders stay behind.
mkdir "$root/src"
(cd "$repo" && git ls-files -co --exclude-standard -z |
  tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$root/src"
in_root() {  # each step at most 20 minutes
  timeout 1200 chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DISPLAY="$DISPLAY" "$@"
}
logged() {  # logged name command...: the command's output kept; its failed checks and its end shown when it fails
  local name=$1 status=0; shift
  "$@" >"$work/$name.log" 2>&1 || status=$?
  [ "$status" -ne 0 ] || return 0
  [ "$status" -ne 124 ] || echo "  $name: past its deadline of 20 minutes"
  grep -E -A3 '^(FAILED|  wanted): ' "$work/$name.log" | head -60
  tail -40 "$work/$name.log"
  return 1
}

check "the start command's set-up installs what the tool needs and builds it" \
  logged start-setup in_root bash -c 'cd /src && bash scripts/setup.sh'
none_installed() {  # none_installed package...: none of them is installed in the root
  local p
  for p; do
    ! in_root dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || { echo "  installed: $p"; return 1; }
  done
}
check "it installs no test tool" none_installed xvfb xdotool valgrind strace clang weston openbox lintian debootstrap \
  libgtest-dev at-spi2-core orca
mkdir "$root/tmp/run"
start_app "$root/tmp/run" chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root DISPLAY="$DISPLAY" \
  sh -c 'cd /tmp/run && exec /src/build/app/gradient-logo'
check "the tool built there shows its window, 365 x 140" \
  bash -c "xdotool getwindowgeometry '$win' | grep -q 'Geometry: 365x140'"
kill -TERM "$app_pid"
check "SIGTERM ends it" ended

check "the test set-up installs what those tests use and builds them" \
  logged test-setup in_root bash -c 'cd /src && GL_SUITES_ONLY=1 bash scripts/setup.sh --tests'
check "the tests pass there: $suites" \
  logged tests in_root bash -c "cd /src/build && ctest --output-on-failure --timeout 600 -R '^($suites)\$'"
check "and nothing those tests do not use" none_installed valgrind clang lintian debootstrap libbenchmark-dev
grep -E 'tests passed|tests failed' "$work/tests.log" || true
check "its mingw-w64 builds both Windows programs" \
  logged windows-build in_root bash -c 'cd /src && bash scripts/build-windows.sh'
for build in "win32 X86" "win64 amd64"; do
  read -r dir arch <<<"$build"
  check "the $arch program's file passes its checks there" \
    logged "windows-$dir" in_root bash /src/tests/windows/windows.sh "/src/build-$dir/app/gradient-logo.exe" "$arch"
  grep -h 'small enough' "$work/windows-$dir.log" || true
done
no_warning() { ! grep -hE '^[^ :]+:[0-9]+:([0-9]+:)? warning:' "$work"/*setup.log "$work/windows-build.log"; }
check "the compiler there warns of nothing" no_warning

finish
