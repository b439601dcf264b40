#!/usr/bin/env bash
# No display reachable, in every form: the tool says what to do in one line on
# standard error and ends with status 1; never an abort or a core dump.
# Usage: no-display.sh path/to/gradient-logo
set -euo pipefail
bin=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
passes=0
# A display number that no server holds.
for n in $(seq 150 250); do
  [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] && { free=$n; break; }
done
mkdir -m 700 runtime
cases=(
  "DISPLAY unset|"
  "DISPLAY empty|DISPLAY="
  "DISPLAY naming a server that is not there|DISPLAY=:$free"
  "DISPLAY naming a closed TCP display|DISPLAY=127.0.0.1:$free"
  "Wayland asked for, its socket missing|QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=wayland-gone"
  "a Wayland session whose socket is missing|XDG_SESSION_TYPE=wayland XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=wayland-gone"
)
for c in "${cases[@]}"; do
  what=${c%%|*}; vars=${c#*|}
  status=0
  # shellcheck disable=SC2086
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE $vars \
    "$bin" >out.txt 2>err.txt </dev/null || status=$?
  lines=$(wc -l <err.txt)
  if [ "$status" -eq 1 ] && [ "$lines" -eq 1 ] && [ ! -s out.txt ] &&
     grep -q '^gradient-logo: no display could be reached (.*xvfb-run -a ' err.txt && [ -z "$(ls core* 2>/dev/null)" ]; then
    passes=$((passes + 1)); echo "ok: $what"
  else
    failures=$((failures + 1)); echo "FAILED: $what (status $status, $lines lines)"; cat err.txt
  fi
done
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
