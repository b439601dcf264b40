#!/usr/bin/env bash
# Installs every tool the tests use, builds, and runs every test in stages: the
# tests (widget, end-to-end, accessibility, Wayland, failing disks, package,
# READMEs, install); all of them that can be again built with AddressSanitizer
# and UndefinedBehaviorSanitizer; a bounded run of the LOGO.BMP fuzzer; the
# other Debian release in a fresh root; the Windows programs under Wine, and
# a release built twice. Every stage has a deadline and runs even when one before it
# failed; the last lines say how each went and name every check that could
# not run on this machine, and the status is not 0 if any failed.
#
# With --fast: only the widget, end-to-end and accessibility tests (ctest's
# label fast) on the tree already built by scripts/setup.sh --tests, built
# again first; nothing is installed. A few minutes, for a contributor's loop.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "${1:-}" = --fast ]; then
  [ -f build/CTestTestfile.cmake ] || { echo "no test build yet: run bash scripts/setup.sh --tests first"; exit 1; }
  cmake --build build && cd build && exec ctest -L fast --output-on-failure --timeout 300
fi
tree_before=$(git status --porcelain --untracked-files=all)

results=()
passed=0
failed=0
# Where a test names what it could not run here (lib.sh's not_run).
GL_NOT_RUN=$(mktemp)
export GL_NOT_RUN
trap 'rm -f "$GL_NOT_RUN"' EXIT
# stage "name" minutes command...: a stage that runs past its deadline is
# ended, and fails saying so.
stage() {
  local name=$1 minutes=$2 start=$SECONDS status=0; shift 2
  echo "== $name"
  timeout -k 60 "$((minutes * 60))" bash -c '"$@"' stage "$@" || status=$?
  if [ "$status" -eq 0 ]; then
    results+=("ok: $name ($((SECONDS - start)) s)"); passed=$((passed + 1))
  else
    local late=
    [ "$status" -ne 124 ] || { late=", past its deadline"; echo "FAILED: $name: past its deadline of $minutes minutes"; }
    results+=("FAILED: $name ($((SECONDS - start)) s$late)"); failed=$((failed + 1))
  fi
}
tests() { (cd "$root/build" && ctest --output-on-failure --timeout 900); }
sanitized() {
  cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGRADIENT_LOGO_SANITIZE=ON \
    -DGRADIENT_LOGO_TESTS=ON >/dev/null &&
  cmake --build "$root/build-asan" &&
  (cd "$root/build-asan" &&
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
    LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --timeout 1800)
}
fuzzing() { bash "$root/scripts/fuzz.sh" --build && (cd "$root/build-fuzz" && ctest --output-on-failure --timeout 900); }
# The release twice, from two fresh clones of the commit in folders of
# different names, under another umask, time zone and locale the second time:
# the same bytes; and the zip holds what it should.
release_twice() {
  local a b zipped
  a=$(mktemp -d) b=$(mktemp -d -t another-folder-XXXXXX)
  git clone -q "$root" "$a/gradient-logo" && git clone -q "$root" "$b/gl" &&
  (cd "$a/gradient-logo" && bash scripts/release.sh) >"$a/release.log" 2>&1 &&
  (cd "$b/gl" && umask 077 && TZ=Pacific/Kiritimati LC_ALL=de_DE.UTF-8 bash scripts/release.sh) >"$b/release.log" 2>&1 ||
    { tail -30 "$a/release.log" "$b/release.log"; rm -rf "$a" "$b"; return 1; }
  zipped=$(cd "$a/gradient-logo/dist" && ls -- *.zip)
  diff -r "$a/gradient-logo/dist" "$b/gl/dist" &&
  echo "ok: two releases of one commit are the same bytes: $(cd "$a/gradient-logo/dist" && ls | tr '\n' ' ')" &&
  python3 -m zipfile -l "$a/gradient-logo/dist/$zipped" | awk 'NR > 1 { print $1 }' |
    diff - <(printf "${zipped%.zip}/%s\n" CHANGELOG.md LICENSE README.md gradient-logo-x64.exe gradient-logo-x86.exe) &&
  echo "ok: the zip holds both programs, README, LICENSE and CHANGELOG"
  local status=$?
  rm -rf "$a" "$b"
  return $status
}
windows() {
  bash "$root/scripts/build-windows.sh" --tests && release_twice &&
  (cd "$root/build-win64-tests" && ctest --output-on-failure --timeout 900) &&
  bash "$root/tests/windows/windows.sh" "$root/build-win32/app/gradient-logo.exe" X86 "$root/build/app/gradient-logo" \
    "$root/build-win32/tests/windows/accessible_names.exe" &&
  bash "$root/tests/windows/windows.sh" "$root/build-win64/app/gradient-logo.exe" amd64 "$root/build/app/gradient-logo" \
    "$root/build-win64/tests/windows/accessible_names.exe"
}
# Windows and macOS fold case: two paths (or folders) equal but for case would
# check out there as one file.
no_case_twins() {
  local twins
  twins=$(git ls-files | awk -F/ '{ p = ""; for (i = 1; i <= NF; i++) { p = p (i > 1 ? "/" : "") $i; print p } }' |
    sort -u | awk '{ print tolower($0) "\t" $0 }' | sort | awk -F'\t' '$1 == last { print prev; print $2 } { last = $1; prev = $2 }')
  [ -z "$twins" ] || { echo "paths equal but for case:"; echo "$twins" | sort -u; return 1; }
}
tree_unchanged() {
  local now; now=$(git status --porcelain --untracked-files=all)
  [ "$now" = "$tree_before" ] || { echo "the work tree changed:"; diff <(echo "$tree_before") <(echo "$now"); return 1; }
}

export root tree_before GL_WINE_TEMPLATE
export -f tests sanitized fuzzing release_twice windows no_case_twins tree_unchanged
stage "set-up: the test tools installed, the tool and its tests built" 40 bash "$root/scripts/setup.sh" --tests --windows
stage "tests" 30 tests
stage "tests with AddressSanitizer and UndefinedBehaviorSanitizer" 15 sanitized
stage "fuzzing LOGO.BMP" 10 fuzzing
stage "the other Debian release, in a fresh root" 30 bash "$root/tests/release/other-release.sh"
# One Wine prefix for the stage, copied by each of its tests.
GL_WINE_TEMPLATE=$(mktemp -d)
stage "the Windows programs, 32- and 64-bit, the widget tests on Windows under Wine, and the release" 30 windows
rm -rf "$GL_WINE_TEMPLATE"
stage "no two tracked paths differ only by case" 1 no_case_twins
stage "the work tree is as it was" 1 tree_unchanged

echo "== stages"
printf '%s\n' "${results[@]}"
sed 's/^/  /' "$GL_NOT_RUN"
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
