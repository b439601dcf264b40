#!/usr/bin/env bash
# End-to-end test: the real binary in a real X server (Xvfb), driven only as a
# person would, with xdotool's keyboard and mouse; the screen is read back with
# ImageMagick's import. Usage: e2e.sh path/to/gradient-logo
set -euo pipefail
bin=$(realpath "$1")
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
passes=0
check() {  # check "what" command...
  local what=$1; shift
  if "$@"; then passes=$((passes + 1)); echo "ok: $what"
  else failures=$((failures + 1)); echo "FAILED: $what"; fi
}

# A display nobody uses.
for n in $(seq 90 250); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
unset QT_QPA_PLATFORM QT_SCALE_FACTOR

app_pid=
start_app() {  # start_app dir: the tool in that directory; sets $win
  (cd "$1" && exec "$bin") >"$work/app.log" 2>&1 &
  app_pid=$!
  pids+=("$app_pid")
  win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Gradient Logo$' | head -n1)
  [ -n "$win" ] || { echo "no window appeared"; cat "$work/app.log"; exit 1; }
}

ended() {  # ended: the tool's process ended by itself within 10 s
  for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

# pixel x y: "r g b" of the main window at window coordinates.
pixel() {
  import -window "$win" -crop "1x1+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
    sed -nE 's/.*#([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9A-Fa-f]{2}).*/0x\1 0x\2 0x\3/p' |
    { read -r r g b && echo "$((r)) $((g)) $((b))"; }
}
near() {  # near "r g b" "r g b": each channel within 40
  local a=($1) b=($2)
  for i in 0 1 2; do (( ${a[i]} - ${b[i]} < 40 && ${b[i]} - ${a[i]} < 40 )) || return 1; done
}
shows() {  # shows x y "r g b": the window shows about that colour there, soon
  for _ in $(seq 1 50); do near "$(pixel "$1" "$2")" "$3" && return 0; sleep 0.1; done
  echo "  at $1,$2: $(pixel "$1" "$2"), wanted $3"; return 1
}

click() { xdotool mousemove --window "$win" "$1" "$2" click 1; }
# Buttons, at their centres in window coordinates (the window is its drawing area).
color1() { click 54 75; }
color2() { click 298 75; }
make_logo() { click 54 120; }
ok_logo() { click 298 120; }

colour_dialog() { timeout 10 xdotool search --sync --onlyvisible --name '^Farbe Auswahl$' | head -n1; }
# Types a colour into the dialog's HTML field and accepts it with Return.
choose() {
  local d; d=$(colour_dialog)
  [ -n "$d" ] || { echo "no colour dialog"; return 1; }
  xdotool windowfocus --sync "$d"
  xdotool key alt+h ctrl+a
  xdotool type "$1"
  xdotool key Return
  timeout 10 bash -c "while xdotool search --onlyvisible --name '^Farbe Auswahl\$' >/dev/null; do sleep 0.05; done"
}
cancel() {
  local d; d=$(colour_dialog)
  [ -n "$d" ] || { echo "no colour dialog"; return 1; }
  xdotool windowfocus --sync "$d"
  xdotool key Escape
  timeout 10 bash -c "while xdotool search --onlyvisible --name '^Farbe Auswahl\$' >/dev/null; do sleep 0.05; done"
}

grey() { pixel 116 64; }  # a corner of colour 1's swatch; the window's own colour before
red="255 0 0"; blue="0 0 255"

echo "# first start in an empty directory"
run1="$work/run1"; mkdir "$run1"
start_app "$run1"
check "window titled Gradient Logo" test "$(xdotool getwindowname "$win")" = "Gradient Logo"
check "window is 365 x 140" bash -c "xdotool getwindowgeometry '$win' | grep -q 'Geometry: 365x140'"

before=$(grey)
color1; cancel
check "cancelling the colour dialog changes nothing" near "$(grey)" "$before"
color1; choose '#ff0000'
check "colour 1 swatch shows red" shows 116 64 "$red"
check "colour 2 swatch still hidden" near "$(pixel 180 64)" "$before"
color2; choose '#0000ff'
check "colour 2 swatch shows blue" shows 180 64 "$blue"
make_logo
check "logo swatch starts red" shows 114 120 "$red"
check "logo swatch ends blue" shows 238 120 "$blue"
check "background shows the logo: red at the left" shows 2 2 "$red"
check "background shows the logo: blue at the right" shows 362 2 "$blue"
ok_logo
check "the tool ends by itself after Ok Logo" ended
printf '\r\nColor 1 : {255,000,000}\r\nColor 2 : {000,000,255}' >"$work/expected.txt"
check "LOGO.TXT holds the exact 50 bytes" cmp -s "$run1/LOGO.TXT" "$work/expected.txt"
check "LOGO.BMP is a 128 x 24 BMP" bash -c "identify -format '%m %wx%h' '$run1/LOGO.BMP' | grep -Eqx 'BMP3? 128x24'"
check "LOGO.BMP starts red" test "$(convert "$run1/LOGO.BMP" -format '%[pixel:p{0,12}]' info:)" = "srgb(255,0,0)"
check "LOGO.BMP ends blue" test "$(convert "$run1/LOGO.BMP" -format '%[pixel:p{127,12}]' info:)" = "srgb(0,0,255)"

echo "# second start: the saved logo is the background"
start_app "$run1"
check "saved logo shown: red at the left" shows 2 2 "$red"
check "saved logo shown: blue at the right" shows 362 2 "$blue"

echo "# Make Logo without colours: a message that Return closes"
make_logo
box=
for _ in $(seq 1 100); do
  box=$(xdotool search --onlyvisible --name '^Gradient Logo$' | grep -vx "$win" | head -n1 || true)
  [ -n "$box" ] && break; sleep 0.1
done
check "a message box opens" test -n "$box"
xdotool windowfocus --sync "$box"
xdotool key Return
check "Return closes the message box" timeout 10 bash -c \
  "while xdotool search --onlyvisible --name '^Gradient Logo\$' | grep -vqx '$win'; do sleep 0.05; done"
check "the window stays open" kill -0 "$app_pid"
kill "$app_pid"
check "SIGTERM ends the tool" ended

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
