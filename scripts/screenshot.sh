#!/usr/bin/env bash
# Makes docs/screenshot.png: the window after "Make Logo", in an Xvfb server of
# its own. Usage: scripts/screenshot.sh [path/to/gradient-logo]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/lib.sh" "${1:-$root/build/app/gradient-logo}"
start_xvfb
mkdir "$work/run"
start_app "$work/run"
color1; choose '#d02030'
color2; choose '#2050e0'
make_logo
shows 362 2 "32 80 224"   # the stretched logo has reached the screen
import -window "$win" "$root/docs/screenshot.png"
echo "wrote docs/screenshot.png"
