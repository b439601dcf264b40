#!/usr/bin/env bash
# The real binary under a real window manager (openbox) in its own X server:
# the titles that the window manager draws, centring with the frame, the focus
# coming back after each dialog, and the close box and Alt+F4 ending the tool
# without writing anything. Usage: wm.sh path/to/gradient-logo
set -euo pipefail
source "$(dirname "$0")/../lib.sh" "$1"
start_xvfb openbox

wm_name() { xprop -id "$1" _NET_WM_NAME | sed -nE 's/^_NET_WM_NAME\(UTF8_STRING\) = "(.*)"$/\1/p'; }
# frame x y: the centre of a window's frame, from its place and the extents the manager gives it.
frame_centre() {
  local x y w h l r t b
  eval "$(xwininfo -id "$1" | sed -nE 's/.*Absolute upper-left X: +(-?[0-9]+)/x=\1/p; s/.*Absolute upper-left Y: +(-?[0-9]+)/y=\1/p; s/^ +Width: ([0-9]+)/w=\1/p; s/^ +Height: ([0-9]+)/h=\1/p')"
  IFS=', ' read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -E 's/.*= //')
  echo "$(( (x - l) * 2 + w + l + r )) $(( (y - t) * 2 + h + t + b ))"   # twice the centre: no rounding
}
within() {  # within "2x 2y" "2x 2y" pixels
  local a=($1) b=($2) d=$(( $3 * 2 ))
  (( ${a[0]} - ${b[0]} <= d && ${b[0]} - ${a[0]} <= d && ${a[1]} - ${b[1]} <= d && ${b[1]} - ${a[1]} <= d )) ||
    { echo "  centres (doubled): $1 and $2"; return 1; }
}
window_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]; }
active_is_window() { wait_for 5 window_active; }
no_files() { [ ! -e "$1/LOGO.TXT" ] && [ ! -e "$1/LOGO.BMP" ]; }

run="$work/run"; mkdir "$run"
start_app "$run"
check "the window manager frames the window" bash -c "xprop -id '$win' _NET_FRAME_EXTENTS | grep -q '= '"
check "_NET_WM_NAME of the window is Gradient Logo" test "$(wm_name "$win")" = "Gradient Logo"
screen=$(xdpyinfo | sed -nE 's/.*dimensions: +([0-9]+)x([0-9]+) pixels.*/\1 \2/p')
read -r sw sh <<<"$screen"
check "the window, frame and all, is centred on the screen" within "$(frame_centre "$win")" "$sw $sh" 2

color1
dialog=$(colour_dialog)
check "_NET_WM_NAME of the colour dialog is Farbe Auswahl" test "$(wm_name "$dialog")" = "Farbe Auswahl"
check "the colour dialog is centred over the window" within "$(frame_centre "$dialog")" "$(frame_centre "$win")" 2
cancel
check "the focus comes back to the window after cancelling" active_is_window
xdotool key space   # the focus moved on to Color 2: Space opens the dialog again
check "the keyboard focus is in the window again" test -n "$(colour_dialog)"
choose '#00ff00'
check "the focus comes back to the window after choosing" active_is_window

make_logo
box=$(message_box || true)
check "a message box opens" test -n "$box"
check "_NET_WM_NAME of the message box is Gradient Logo" test "$(wm_name "$box")" = "Gradient Logo"
dismiss "$box" || true
check "the focus comes back to the window after the message" active_is_window

# The close box: openbox's default layout puts it at the right end of the title bar.
read -r fx fy < <(xwininfo -id "$win" | sed -nE 's/.*Absolute upper-left (X|Y): +(-?[0-9]+)/\2/p' | paste -sd' ')
IFS=', ' read -r l r t b < <(xprop -id "$win" _NET_FRAME_EXTENTS | sed -E 's/.*= //')
xdotool mousemove $((fx + 365 + r - 10)) $((fy - t / 2)) click 1
check "the close box ends the tool" ended
check "the close box writes nothing" no_files "$run"

start_app "$run"
xdotool windowactivate --sync "$win"
xdotool key alt+F4
check "Alt+F4 ends the tool" ended
check "Alt+F4 writes nothing" no_files "$run"

finish
