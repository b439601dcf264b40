#!/usr/bin/env bash
# No display reachable, in every form: the tool says what to do in one line on
# standard error and ends with status 1; never an abort or a core dump. Any
# other failure to start (a missing platform plugin) is said as Qt says it, in
# one line, and is never called a missing display.
# Usage: no-display.sh path/to/gradient-logo
set -euo pipefail
source "$(dirname "$0")/../lib.sh" "$1"
cd "$work"

# A display number that no server holds.
for n in $(seq 150 250); do
  [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] && { free=$n; break; }
done
mkdir -m 700 runtime
# says "pattern" vars...: the tool started with only these display variables
# ends with status 1 and one line on standard error matching the pattern.
says() {
  local pattern=$1 status=0; shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" \
    "$bin" >out.txt 2>err.txt </dev/null || status=$?
  [ "$status" -eq 1 ] && [ "$(wc -l <err.txt)" -eq 1 ] && [ ! -s out.txt ] && grep -q "$pattern" err.txt &&
    [ -z "$(ls core* 2>/dev/null)" ] || { echo "  status $status:"; cat err.txt; return 1; }
}
no_display='^gradient-logo: no display could be reached (.*xvfb-run -a '
check "DISPLAY unset" says "$no_display"
check "DISPLAY empty" says "$no_display" DISPLAY=
check "DISPLAY naming a server that is not there" says "$no_display" DISPLAY=":$free"
check "DISPLAY naming a closed TCP display" says "$no_display" DISPLAY="127.0.0.1:$free"
check "Wayland asked for, its socket missing" says "$no_display" \
  QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=wayland-gone
check "a Wayland session whose socket is missing" says "$no_display" \
  XDG_SESSION_TYPE=wayland XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=wayland-gone
check "a missing platform plugin is named, not called a missing display" \
  says '^gradient-logo: Qt could not start: .*no-such-platform' QT_QPA_PLATFORM=no-such-platform

finish
