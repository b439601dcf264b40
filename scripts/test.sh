#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the headless widget
# tests and the end-to-end test in its own X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cd "$root/build"
ctest --output-on-failure --timeout 900
