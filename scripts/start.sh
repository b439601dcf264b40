#!/usr/bin/env bash
# Installs what is missing, builds, and starts Gradient Logo in the current
# directory, where it reads and writes LOGO.TXT and LOGO.BMP.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
exec "$root/build/app/gradient-logo"
