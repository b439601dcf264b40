#!/usr/bin/env bash
# Installs every tool the tests use, builds, and runs every test in stages: the
# tests (widget, end-to-end, accessibility, Wayland, failing disks, package,
# READMEs, install); all of them that can be again built with AddressSanitizer
# and UndefinedBehaviorSanitizer; a bounded run of the LOGO.BMP fuzzer; the
# other Debian release in a fresh root; the Windows programs under Wine. Every stage runs even when one before it
# failed; the last lines say how each went and name every check that could
# not run on this machine, and the status is not 0 if any failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tree_before=$(git status --porcelain --untracked-files=all)

results=()
passed=0
failed=0
# Where a test names what it could not run here (lib.sh's not_run).
GL_NOT_RUN=$(mktemp)
export GL_NOT_RUN
trap 'rm -f "$GL_NOT_RUN"' EXIT
stage() {  # stage "name" command...
  local name=$1 start=$SECONDS; shift
  echo "== $name"
  if "$@"; then
    results+=("ok: $name ($((SECONDS - start)) s)"); passed=$((passed + 1))
  else
    results+=("FAILED: $name ($((SECONDS - start)) s)"); failed=$((failed + 1))
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
# The 64-bit program built again in another folder: the same bytes.
same_again() {
  cmake -S "$root" -B "$root/build-win64-again" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGL_MINGW_ARCH=x86_64 >/dev/null &&
  cmake --build "$root/build-win64-again" --target gradient-logo >/dev/null &&
  cmp "$root/build-win64/app/gradient-logo.exe" "$root/build-win64-again/app/gradient-logo.exe" &&
  echo "ok: two builds of the 64-bit program are the same bytes"
}
windows() {
  bash "$root/scripts/build-windows.sh" --tests && same_again &&
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

stage "set-up: the test tools installed, the tool and its tests built" bash "$root/scripts/setup.sh" --tests --windows
stage "tests" tests
stage "tests with AddressSanitizer and UndefinedBehaviorSanitizer" sanitized
stage "fuzzing LOGO.BMP" fuzzing
stage "the other Debian release, in a fresh root" bash "$root/tests/release/other-release.sh"
stage "the Windows programs, 32- and 64-bit, and the widget tests on Windows, under Wine" windows
stage "no two tracked paths differ only by case" no_case_twins
stage "the work tree is as it was" tree_unchanged

echo "== stages"
printf '%s\n' "${results[@]}"
sed 's/^/  /' "$GL_NOT_RUN"
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
