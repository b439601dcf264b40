#!/usr/bin/env bash
# Runs a Windows test program under Wine, in an Xvfb and a Wine prefix of its
# own, with a small disk of its own as drive T: (a 64 KB tmpfs; the tests run
# as root), named to the program in GL_SMALL_DRIVE. Its status is the program's.
# Usage: under-wine.sh program.exe [arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh" "$1"
shift
start_xvfb
mkdir "$work/small"
mount -t tmpfs -o size=64k tmpfs "$work/small" || fail "cannot mount a tmpfs for the small disk (the tests need root)"
at_exit+=("umount -l '$work/small'")
ln -s "$work/small" "$WINEPREFIX/dosdevices/t:"
export GL_SMALL_DRIVE=T:
# A check the program cannot make under Wine it names in a "NOT RUN" line,
# passed on to the test command's closing lines.
status=0
wine "$bin" "$@" >"$work/output" || status=$?
cat "$work/output"
while IFS= read -r line; do not_run "${line#NOT RUN }"; done < <(grep -a '^NOT RUN ' "$work/output" | tr -d '\r')
exit "$status"
