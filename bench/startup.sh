#!/usr/bin/env bash
# Start-up time (launch to window mapped) and peak resident memory of
# gradient-logo beside the bare Qt window, run alternately under Xvfb.
# Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(realpath "$1")
runs=${2:-21}
source "$(dirname "$0")/../tests/lib.sh" "$build/app/gradient-logo"
start_xvfb
mkdir -p "$work/run"

# measure BINARY TITLE: prints "milliseconds kilobytes"
measure() {
  local start end pid hwm
  start=$(date +%s%N)
  (cd "$work/run" && exec "$1") >>"$work/programs.log" 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$1 did not start:" >&2; cat "$work/programs.log" >&2; exit 1; }
    sleep 0.02
  done
  end=$(date +%s%N)
  sleep 0.2  # let the first frame be painted before memory is read
  hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$(((end - start) / 1000000)) $hwm"
}
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

: >"$work/app" && : >"$work/bare"
for _ in $(seq 1 "$runs"); do
  measure "$build/app/gradient-logo" "Gradient Logo" >>"$work/app"
  measure "$build/bench/bare_window" "Bare Window" >>"$work/bare"
done
app_ms=$(cut -d' ' -f1 "$work/app" | median); bare_ms=$(cut -d' ' -f1 "$work/bare" | median)
app_kb=$(cut -d' ' -f2 "$work/app" | median); bare_kb=$(cut -d' ' -f2 "$work/bare" | median)
printf '%-16s %10s %12s\n' "" "start ms" "peak RSS KiB"
printf '%-16s %10s %12s\n' "gradient-logo" "$app_ms" "$app_kb" "bare window" "$bare_ms" "$bare_kb"
printf '%-16s %10.2f %12.2f   (targets: <= 1.10 both)\n' "ratio" \
  "$(echo "$app_ms / $bare_ms" | bc -l)" "$(echo "$app_kb / $bare_kb" | bc -l)"
echo "($runs runs each, medians)"
