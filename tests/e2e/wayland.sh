#!/usr/bin/env bash
# The tool on Wayland, natively: a headless weston compositor of our own, the
# tool on Qt's Wayland platform in a folder with a LOGO.BMP. Its window opens
# (titled, with its app id, and a picture attached), it reads the logo, and
# SIGTERM ends it. Usage: wayland.sh path/to/gradient-logo path/to/a/LOGO.BMP
set -euo pipefail
bin=$(realpath "$1")
logo=$(realpath "$2")
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"' EXIT

source "$(dirname "$0")/../check.sh"

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket=wayland-gl --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/wayland-gl" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/wayland-gl" ] || { echo "FAILED: weston did not start"; cat "$work/weston.log"; exit 1; }

mkdir "$work/run"; cp "$logo" "$work/run/LOGO.BMP"
(cd "$work/run" && WAYLAND_DISPLAY=wayland-gl QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
   exec strace -qq -e trace=openat -o "$work/files" "$bin") >"$work/out" 2>"$work/protocol" &
tracer=$!
pids+=($tracer)
app=
for _ in $(seq 1 100); do app=$(pgrep -P "$tracer" -x gradient-logo || true); [ -n "$app" ] && break; sleep 0.05; done
[ -n "$app" ] || { echo "FAILED: the tool did not start"; cat "$work/protocol"; exit 1; }
shown() { grep -q 'wl_surface@[0-9]*\.attach(wl_buffer' "$work/protocol" && grep -q 'xdg_toplevel@[0-9]*\.set_title("Gradient Logo")' "$work/protocol"; }
for _ in $(seq 1 200); do shown && break; sleep 0.1; done
check "the window opens on Wayland, titled Gradient Logo, with a picture" shown
check "the window carries the desktop entry's app id" grep -q 'set_app_id("io.gradientlogo.gradientlogo")' "$work/protocol"
check "no X display was used" bash -c "! grep -q 'qt.qpa.xcb' '$work/protocol'"
check "LOGO.BMP was read" grep -q '"LOGO.BMP", O_RDONLY' "$work/files"
kill -TERM "$app"
ended() { for _ in $(seq 1 100); do kill -0 "$app" 2>/dev/null || return 0; sleep 0.1; done; return 1; }
check "SIGTERM ends the tool" ended
status=0; wait "$tracer" || status=$?   # strace ends with the tool's status
check "it ends cleanly (status $status)" test "$status" -eq 0

finish
