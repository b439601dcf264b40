#!/usr/bin/env bash
# Start-up time (launch to window mapped) and peak resident memory of
# gradient-logo beside a bare program of the same shape, run alternately under
# Xvfb: the bare Qt window for a Linux build, and for a Windows build (one with
# app/gradient-logo.exe) the bare Win32 dialog, both under Wine. For a Linux
# build, then the command line's run beside ImageMagick's for the same file.
# Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(realpath "$1")
runs=${2:-21}
if [ -e "$build/app/gradient-logo.exe" ]; then
  app=$build/app/gradient-logo.exe bare=$build/bench/bare_dialog.exe bare_name="bare Win32 dialog"
else
  app=$build/app/gradient-logo bare=$build/bench/bare_window bare_name="bare Qt window"
fi
source "$(dirname "$0")/../tests/lib.sh" "$app"
start_xvfb
mkdir -p "$work/run"

# measure BINARY TITLE: prints "milliseconds kilobytes"
measure() {
  local start end pid hwm
  start=$(date +%s%N)
  local run=("$1")
  [[ "$1" != *.exe ]] || run=(wine "$1")   # the pid stays the program's: wine execs it
  (cd "$work/run" && exec "${run[@]}") >>"$work/programs.log" 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$1 did not start:" >&2; cat "$work/programs.log" >&2; exit 1; }
    sleep 0.02
  done
  end=$(date +%s%N)
  sleep 0.2  # let the first frame be painted before memory is read
  hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill -9 "$pid"; wait "$pid" 2>/dev/null || true
  # the next one starts with no window of ours left
  while xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do sleep 0.02; done
  echo "$(((end - start) / 1000000)) $hwm"
}
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

: >"$work/app" && : >"$work/bare"
# One pair untimed: the first start of all pays for the caches (and Wine's desktop).
measure "$app" "Gradient Logo" >/dev/null && measure "$bare" "Bare Window" >/dev/null
for _ in $(seq 1 "$runs"); do
  measure "$app" "Gradient Logo" >>"$work/app"
  measure "$bare" "Bare Window" >>"$work/bare"
done
app_ms=$(cut -d' ' -f1 "$work/app" | median); bare_ms=$(cut -d' ' -f1 "$work/bare" | median)
app_kb=$(cut -d' ' -f2 "$work/app" | median); bare_kb=$(cut -d' ' -f2 "$work/bare" | median)
printf '%-16s %10s %12s\n' "" "start ms" "peak RSS KiB"
printf '%-16s %10s %12s\n' "${app##*/}" "$app_ms" "$app_kb" "$bare_name" "$bare_ms" "$bare_kb"
printf '%-16s %10.2f %12.2f   (targets: <= 1.10 both)\n' "ratio" \
  "$(echo "$app_ms / $bare_ms" | bc -l)" "$(echo "$app_kb / $bare_kb" | bc -l)"
echo "($runs runs each, medians)"
[ -z "${BENCH_RAW:-}" ] || paste "$work/app" "$work/bare"
[[ "$app" != *.exe ]] || exit 0

# The command line's whole run (the two files saved) beside ImageMagick's
# gradient BMP of the same size and beside its own --version, the floor of a
# program linked against Qt; in a tmpfs, where a flush costs nothing, so that
# both do the same work. Alternately, medians.
shm=$(mktemp -d -p /dev/shm); at_exit+=("rm -rf '$shm'")
timed() { local s; s=$(date +%s%N); (cd "$shm" && "$@") >/dev/null; echo $((($(date +%s%N) - s) / 1000)); }
for _ in $(seq 1 "$runs"); do
  timed "$app" --color1 '#ff0000' --color2 '#0000ff' >>"$work/line"
  timed convert -size 128x24 gradient:red-blue BMP3:LOGO.BMP >>"$work/convert"
  timed "$app" --version >>"$work/version"
done
printf '%-28s %8s\n' "" "run µs" "gradient-logo --color1 ..." "$(median <"$work/line")" \
  "convert gradient:red-blue" "$(median <"$work/convert")" "gradient-logo --version" "$(median <"$work/version")"
