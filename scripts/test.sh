#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the headless widget
# tests, the end-to-end test in its own X server and the install check; then
# all of them again built with AddressSanitizer and UndefinedBehaviorSanitizer;
# then a bounded run of the LOGO.BMP fuzzer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

echo "== tests"
(cd "$root/build" && ctest --output-on-failure --timeout 900)

echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGRADIENT_LOGO_SANITIZE=ON >/dev/null
cmake --build "$root/build-asan"
(cd "$root/build-asan" &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
  LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure --timeout 1800)

echo "== fuzzing LOGO.BMP"
bash "$root/scripts/fuzz.sh" --build
(cd "$root/build-fuzz" && ctest --output-on-failure --timeout 900)
