#!/usr/bin/env bash
# Fuzzes the reading of LOGO.BMP from the seeds in tests/fuzz/corpus/, exploring
# freely, for SECONDS (an hour unless said); what it learns and anything it
# finds (crash-*, leak-*, timeout-*, oom-*) go to findings/ in the repository.
# Builds the fuzzer (clang, build-fuzz/) first when needed.
# Usage: bash scripts/fuzz.sh [SECONDS]    or, to build it only: scripts/fuzz.sh --build
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fuzzer="$root/build-fuzz/tests/fuzz/logo_fuzzer"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGRADIENT_LOGO_FUZZ=ON -DGRADIENT_LOGO_TESTS=OFF >/dev/null
cmake --build "$root/build-fuzz"
[ "${1:-}" = --build ] && exit 0

seconds=${1:-3600}
mkdir -p "$root/findings/corpus"
# Absolute paths throughout: the fuzzer changes its working directory.
QT_QPA_PLATFORM=offscreen LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp" \
  "$fuzzer" "$root/findings/corpus" "$root/tests/fuzz/corpus" -max_total_time="$seconds" \
  -max_len=65536 -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$root/findings/"
