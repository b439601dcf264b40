#!/usr/bin/env bash
# The tool as a screen reader meets it: its own session bus with the AT-SPI
# accessibility bus turned on (as a screen reader turns it on), the real binary
# in its own X server, and every button pressed through its accessible action.
# Checks the roles and names, the whole typical run ending in the right files,
# the message box's text, and Qt's own texts under a German locale.
# Usage: a11y.sh path/to/gradient-logo
set -euo pipefail
if [ -z "${GL_OWN_BUS:-}" ]; then
  GL_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh" "$1"
start_xvfb
atspi() { /usr/bin/python3 "$here/atspi.py" "$@"; }

/usr/bin/python3 -c 'import pyatspi' || fail "no pyatspi"
accessibility_bus

tree=
look() { tree=$(atspi tree || true); }
has() {  # has "role|name|description|showing" [action]: one object of the main window
  grep -Eq "^$(sed 's/[][().*+?^$]/\\&/g; s/|/\\|/g' <<<"$1")\\|${2:-.*}\$" <<<"$tree" ||
    { echo "  wanted: $1 ${2:-}"; echo "$tree" | sed 's/^/  seen: /'; return 1; }
}
has_like() {  # has_like 'regex': one object of the main window, its line "role|name|description|showing|actions"
  grep -Eq "^$1\$" <<<"$tree" || { echo "  wanted: $1"; echo "$tree" | sed 's/^/  seen: /'; return 1; }
}
has_now() { look; has "$1" >/dev/null; }
shows_soon() {  # shows_soon "role|name|description|showing": within 10 s
  wait_for 10 has_now "$1" || has "$1"
}

echo "# roles and names"
run="$work/run"; mkdir "$run"
start_app "$run"
# The tree is read once the last control has reached the bus, not before.
wait_for 10 has_now "image|Logo||hidden" || true
check "the group box is a panel named Gradient Colorbar" shows_soon "panel|Gradient Colorbar||showing"
check "the window is a frame named Gradient Logo that says what the tool is for" \
  has_like 'frame\|Gradient Logo\|[^|]*gradient logo[^|]*\|showing\|'
for b in "Color 1" "Color 2" "Make Logo" "Ok Logo"; do
  check "$b is a push button with a press action that says what it does" \
    has_like "push button\\|$b\\|[^|]+\\|showing\\|.*Press.*"
done
check "the colour 1 swatch is a label, not shown yet" shows_soon "label|Color 1||hidden"
check "the logo is an image, not shown yet" shows_soon "image|Logo||hidden"

echo "# the typical run, every button pressed through its accessible action"
atspi press "Color 1"; choose '#ff0000'
check "the colour 1 swatch says its colour while shown" shows_soon "label|Color 1: red 255, green 0, blue 0||showing"
atspi press "Color 2"; choose '#0000ff'
check "the colour 2 swatch says its colour while shown" shows_soon "label|Color 2: red 0, green 0, blue 255||showing"
atspi press "Make Logo"
check "the logo is an image with its size while shown" shows_soon "image|Logo|128 x 24 pixel picture|showing"
atspi press "Ok Logo"
check "Ok Logo ends the tool" ended
logo_txt 255 0 0 0 0 255 >"$work/expected.txt"
check "LOGO.TXT holds the colours chosen" cmp -s "$run/LOGO.TXT" "$work/expected.txt"
check "LOGO.BMP is the red-to-blue logo" test \
  "$(convert "$run/LOGO.BMP" -format '%wx%h %[pixel:p{0,12}] %[pixel:p{127,12}]' info:)" = "128x24 srgb(255,0,0) srgb(0,0,255)"

echo "# the message box can be read and answered"
empty="$work/empty"; mkdir "$empty"
start_app "$empty"
atspi press "Make Logo"
message=$(atspi window "Gradient Logo" || true)
check "the message box's text is readable" grep -q '|Color1 and Color2 missing$' <<<"$message"
# Answered by keyboard: pressing a box that goes away through the bus can crash the client.
answer_message() { local box; box=$(message_box) && dismiss "$box"; }
check "Return closes it" answer_message
check "the window stays open" kill -0 "$app_pid"
kill "$app_pid"; ended

echo "# Qt's own texts in the user's language: German"
LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 start_app "$empty"
atspi press "Color 1"
dialog=$(atspi window "Farbe Auswahl" || true)
check "the colour dialog keeps its title" test -n "$dialog"
check "its buttons speak German" grep -q '^push button|Abbrechen$' <<<"$dialog"
check "its labels speak German" grep -q 'Grundfarben' <<<"$dialog"
cancel
atspi press "Make Logo"
message=$(atspi window "Gradient Logo" || true)
check "the tool's own message stays as it is" grep -q '|Color1 and Color2 missing$' <<<"$message"
check "its button is OK in German too" grep -q '^push button|OK$' <<<"$message"
answer_message
kill "$app_pid"; ended

finish
