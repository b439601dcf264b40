#!/usr/bin/env bash
# Shared by the end-to-end test and the screenshot script: an Xvfb server of
# our own, the tool started in it, and the hands of a person (xdotool) and
# their eyes (ImageMagick's import). Source it with the binary's path as $1.
bin=$(realpath "$1")
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display nobody uses: Xvfb picks a free number itself and tells it, so that
# tests started side by side never share a server.
# -noreset: by default the server resets whenever its last client leaves, and
# refuses whoever connects meanwhile; programs come and go here all the time.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=$(head -n1 "$work/display" 2>/dev/null || true)
[ -n "$display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
unset QT_QPA_PLATFORM QT_SCALE_FACTOR

# GL_WM=openbox: a real window manager, which frames, titles and focuses windows.
if [ "${GL_WM:-}" = openbox ]; then
  HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1
  done
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    { echo "openbox did not start"; cat "$work/openbox.log"; exit 1; }
fi

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

message_box() {  # the id of the open message box (titled as the tool, not its window), within 10 s
  local box
  for _ in $(seq 1 100); do
    box=$(xdotool search --onlyvisible --name '^Gradient Logo$' 2>/dev/null | grep -vx "$win" | head -n1 || true)
    [ -n "$box" ] && { echo "$box"; return 0; }
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
dismiss() {  # dismiss box: Return on the message box; true once it has closed
  xdotool windowfocus --sync "$1"
  xdotool key Return
  timeout 10 bash -c "while xdotool search --onlyvisible --name '^Gradient Logo\$' | grep -vqx '$win'; do sleep 0.05; done"
}
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

