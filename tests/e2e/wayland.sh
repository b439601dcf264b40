#!/usr/bin/env bash
# The tool on Wayland, natively: a headless weston compositor of our own, the
# tool on Qt's Wayland platform in a folder with a LOGO.BMP. Its window opens
# (titled, with its app id, and a picture attached), it reads the logo, and
# SIGTERM ends it. What the tool asked of the compositor is read from the
# protocol log by request, whatever the log's notation for an object.
# Usage: wayland.sh path/to/gradient-logo path/to/a/LOGO.BMP
set -euo pipefail
source "$(dirname "$0")/../lib.sh" "$1"
logo=$(realpath "$2")

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket=wayland-gl --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=($!)
wait_for 10 test -S "$XDG_RUNTIME_DIR/wayland-gl" || { cat "$work/weston.log"; fail "weston did not start"; }

mkdir "$work/run"; cp "$logo" "$work/run/LOGO.BMP"
(cd "$work/run" && WAYLAND_DISPLAY=wayland-gl QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
   exec strace -qq -e trace=openat -o "$work/files" "$bin") >"$work/out" 2>"$work/protocol" &
tracer=$!
pids+=($tracer)
tool() { app_pid=$(pgrep -P "$tracer" -x gradient-logo) ; }
wait_for 10 tool || { cat "$work/protocol"; fail "the tool did not start"; }
# requested interface.request(arguments): a request the tool sent, in any notation for the object.
requested() { grep -Eq "(^|[^a-z_])$1[@#][0-9]+\\.$2\\($3" "$work/protocol"; }
shown() { requested wl_surface attach 'wl_buffer' && requested xdg_toplevel set_title '"Gradient Logo"\)'; }
wait_for 20 shown || true
check "the window opens on Wayland, titled Gradient Logo, with a picture" shown
check "the window carries the desktop entry's app id" requested xdg_toplevel set_app_id '"io.gradientlogo.gradientlogo"\)'
check "no X display was used" bash -c "! grep -q 'qt.qpa.xcb' '$work/protocol'"
check "LOGO.BMP was read" grep -q '"LOGO.BMP", O_RDONLY' "$work/files"
kill -TERM "$app_pid"
check "SIGTERM ends the tool" ended
status=0; wait "$tracer" || status=$?   # strace ends with the tool's status
check "it ends cleanly (status $status)" test "$status" -eq 0

finish
