#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEEDS SECONDS [RANDOM_SEED]: fuzzes for SECONDS over a
# scratch copy of the seeds, from a fixed random seed so that the test's
# outcome does not change from run to run (a long run by hand explores
# freely). A finding is kept in the current directory as crash-*, leak-*,
# timeout-* or oom-* (the fuzzer works in a directory of its own, hence the
# absolute prefix) and fails the run.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=${3:-60} seed=${4:-1}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" "$scratch" "$seeds" -max_total_time="$seconds" -seed="$seed" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$PWD/" 2>&1 | tail -n 25
