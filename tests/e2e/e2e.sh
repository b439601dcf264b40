#!/usr/bin/env bash
# End-to-end test: the real binary in a real X server (Xvfb), driven only as a
# person would, with xdotool's keyboard and mouse; the screen is read back with
# ImageMagick's import. The Windows program (a path ending in .exe) runs the
# same drive under Wine. Usage: e2e.sh path/to/gradient-logo[.exe]
set -euo pipefail
source "$(dirname "$0")/../lib.sh" "$1"
corpus=$(cd "$(dirname "$0")/../fuzz/corpus" && pwd)
start_xvfb "${GL_WM:-}"
[ -z "${GL_LOAD:-}" ] || busy_load "$GL_LOAD"

red="255 0 0"; blue="0 0 255"

echo "# first start in an empty directory"
run1="$work/run1"; mkdir "$run1"
start_app "$run1"
check "window titled Gradient Logo" test "$(xdotool getwindowname "$win")" = "Gradient Logo"
check "its drawing area is 365 x 140" client_size_right

# 116,64 is a corner of colour 1's swatch, 180,64 of colour 2's.
check "colour 1's swatch is hidden at first" shows 116 64 "$plain"
color1; cancel
check "cancelling the colour dialog changes nothing" stays 116 64 "$plain"
color1; choose '#ff0000'
check "colour 1 swatch shows red" shows 116 64 "$red"
check "colour 2 swatch still hidden" stays 180 64 "$plain"
color2; choose '#0000ff'
check "colour 2 swatch shows blue" shows 180 64 "$blue"
make_logo
check "logo swatch starts red" shows 114 120 "$red"
check "logo swatch ends blue" shows 238 120 "$blue"
check "background shows the logo: red at the left" shows 2 2 "$red"
check "background shows the logo: blue at the right" shows 362 2 "$blue"
ok_logo
check "the tool ends by itself after Ok Logo" ended
logo_txt 255 0 0 0 0 255 >"$work/expected.txt"
check "LOGO.TXT holds the exact 50 bytes" cmp -s "$run1/LOGO.TXT" "$work/expected.txt"
check "LOGO.BMP is a 128 x 24 BMP" bash -c "identify -format '%m %wx%h' '$run1/LOGO.BMP' | grep -Eqx 'BMP3? 128x24'"
check "LOGO.BMP starts red" test "$(convert "$run1/LOGO.BMP" -format '%[pixel:p{0,12}]' info:)" = "srgb(255,0,0)"
check "LOGO.BMP ends blue" test "$(convert "$run1/LOGO.BMP" -format '%[pixel:p{127,12}]' info:)" = "srgb(0,0,255)"

echo "# second start: the saved logo is the background"
start_app "$run1"
check "saved logo shown: red at the left" shows 2 2 "$red"
check "saved logo shown: blue at the right" shows 362 2 "$blue"

echo "# a LOGO.BMP that is refused opens the window of a first start, pixel for pixel"
end_session; ended
capture() { xdotool mousemove 0 0; import -window "$win" -depth 8 "rgb:$1"; }
stable() {  # stable file: the window, painted, twice alike
  shows_now 2 2 "$plain" && shows_now 116 64 "$plain" && capture "$1" && capture "$1.again" && cmp -s "$1" "$1.again"
}
fresh="$work/fresh"; mkdir "$fresh"
xdotool mousemove 0 0   # no button under the pointer, lit as it hovers
start_app "$fresh"
wait_for 10 stable "$work/first.rgb" || fail "the window of a first start never settled"
end_session; ended
same_as_first() { capture "$work/now.rgb" && cmp -s "$work/now.rgb" "$work/first.rgb"; }
for refused in empty truncated huge; do
  case $refused in
    empty) : >"$fresh/LOGO.BMP" ;;
    truncated) printf 'BM\x10\x00' >"$fresh/LOGO.BMP" ;;
    huge) cp "$corpus/huge.bmp" "$fresh/LOGO.BMP" ;;   # 100,000 x 100,000
  esac
  start_app "$fresh"
  check "LOGO.BMP $refused: the window of a first start" wait_for 10 same_as_first
  end_session; ended
done

echo "# Make Logo without colours: a message that Return closes"
start_app "$run1"
make_logo
box=$(message_box || true)
check "a message box opens" test -n "$box"
check "Return closes the message box" dismiss "$box"
check "the window stays open" kill -0 "$app_pid"
end_session
check "the end of the session (SIGTERM, or Windows' own) ends the tool" ended

echo "# the whole run by keyboard alone: no mouse event at all"
run3="$work/run3"; mkdir "$run3"
start_app "$run3"
xdotool windowfocus --sync "$win"
press() { xdotool key "$@"; }
press space; choose '#00ff00'                 # focus starts on Color 1
check "Space on Color 1 chose colour 1" shows 116 64 "0 255 0"
press shift+Tab Tab space; choose '#ff00ff'   # back to Color 1 and on to Color 2
check "Tab and Shift+Tab reach Color 2" shows 180 64 "255 0 255"
press space                                   # the focus moved on to Make Logo
check "Space on Make Logo made the logo" shows 114 120 "0 255 0"
press space                                   # and on to Ok Logo
check "Space on Ok Logo saved and ended the tool" ended
logo_txt 0 255 0 255 0 255 >"$work/expected3.txt"
check "the keyboard run wrote LOGO.TXT" cmp -s "$run3/LOGO.TXT" "$work/expected3.txt"
check "the keyboard run wrote LOGO.BMP" test -s "$run3/LOGO.BMP"

echo "# the command line saves the bytes that the window's keyboard run saves"
line="$work/line"; mkdir "$line"
rgb() { printf '%d %d %d' "0x${1:1:2}" "0x${1:3:2}" "0x${1:5:2}"; }
says_saved() { cli "$line" --color1 "$1" --color2 "$2" | grep -q '^Saved LOGO.TXT and LOGO.BMP in '; }
# One colour twice, black to white, and channels that cross; the last stays.
for pair in "#808080 #808080" "#000000 #ffffff" "#d02030 #2030d0"; do
  read -r c1 c2 <<<"$pair"
  by_window="$work/window-${c1#\#}"; mkdir "$by_window"
  start_app "$by_window"
  xdotool windowfocus --sync "$win"
  # Each step once the one before it shows, so that the focus has moved on.
  press space; choose "$c1"; shows 116 64 "$(rgb "$c1")" >/dev/null &&
    press space && choose "$c2" && shows 180 64 "$(rgb "$c2")" >/dev/null &&
    press space && shows 114 120 "$(rgb "$c1")" >/dev/null && press space
  check "$pair: the keyboard run saves and ends" ended
  check "$pair: the command line saves and says so" says_saved "$c1" "$c2"
  check "$pair: the same LOGO.TXT" cmp -s "$by_window/LOGO.TXT" "$line/LOGO.TXT"
  check "$pair: the same LOGO.BMP" cmp -s "$by_window/LOGO.BMP" "$line/LOGO.BMP"
done
start_app "$line"
check "the next start shows the command line's logo at the left" shows 2 2 "208 32 48"
check "and at the right" shows 362 2 "32 48 208"
end_session; ended

echo "# Return presses the focused button, once however long it is held"
run4="$work/run4"; mkdir "$run4"
start_app "$run4"
xdotool windowfocus --sync "$win"
press Tab Tab Return
box=$(message_box || true)
check "Tab, Tab, Return on Make Logo: the message that the colours are missing" test -n "$box"
[ -z "$box" ] || dismiss "$box"
end_session; ended
start_app "$run4"
xdotool windowfocus --sync "$win"
press Return; choose '#00ff00'
check "Return on Color 1 opened the colour dialog" shows 116 64 "0 255 0"
press Return; choose '#ff00ff'
check "Return on Color 2, where the focus moved, chose colour 2" shows 180 64 "255 0 255"
xdotool keydown Return; sleep 1.5; xdotool keyup Return   # the X server repeats a held key
check "Return held on Make Logo made the logo" shows 114 120 "0 255 0"
check "and pressed no other button: the window stays open" stays 114 120 "0 255 0"
check "and nothing was saved" test ! -e "$run4/LOGO.TXT"
end_session; ended

finish
