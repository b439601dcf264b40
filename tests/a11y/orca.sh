#!/usr/bin/env bash
# The whole keyboard run as a blind user hears it: the real Orca screen reader
# on its own session bus with the AT-SPI bus, the real binary under openbox in
# its own X server. Orca speaks through speech-dispatcher, whose generic
# module here writes each utterance as one line to a file instead of to a
# sound card (Orca's own debug log is written in blocks, so it cannot be
# waited on). Each step waits for what it must hear, compared by meaning (the
# colour's values, the word logo, the file names), never by one Orca release's
# wording. (What the window says it is for is read from the bus by a11y.sh:
# Orca speaks it on some activations and not on others.)
# Usage: orca.sh path/to/gradient-logo seed.bmp
set -euo pipefail
if [ -z "${GL_OWN_BUS:-}" ]; then
  GL_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/../lib.sh" "$1"
seed=$(realpath "$2")
command -v orca >/dev/null || fail "no orca"
start_xvfb openbox

# A home of the test's own, where Orca keeps its settings and speech-dispatcher
# finds its module and its (null) sound output.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
said="$work/said.txt"; : >"$said"
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher/modules"
printf 'AudioOutputMethod "libao"\nDefaultModule said\nAddModule "said" "sd_generic" "said.conf"\n' \
  >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
echo "default_driver=null" >"$HOME/.libao"   # no sound card: libao's null driver
cat >"$XDG_CONFIG_HOME/speech-dispatcher/modules/said.conf" <<CONF
GenericExecuteSynth "printf %s \\'\$DATA\\' | tr '\\\\n' ' ' >>$said && echo >>$said"
AddVoice "en" "MALE1" "en"
CONF
accessibility_bus
orca --replace -u "$work/orca-prefs" >"$work/orca.out" 2>&1 &
pids+=($!)
at_exit+=("pkill -f 'speech-dispatcher.*--spawn' 2>/dev/null")

# What was said, one utterance a line, since the last mark.
from=1
spoken() { tail -n "+$from" "$said"; }
mark() { from=$(($(wc -l <"$said") + 1)); }
said_now() { spoken | grep -Eq -- "$1"; }
# heard "regex": said since the last mark, within 30 s.
heard() {
  wait_for 30 said_now "$1" || { echo "  wanted: $1"; spoken | sed 's/^/  heard: /'; return 1; }
}
wait_for 60 said_now . || { cat "$work/orca.out"; fail "Orca said nothing"; }
# Each key typed into the colour dialog sets off a burst of events (every
# field follows the text); a screen reader that lags behind them passes over
# what is not the focus, a notification among them, as a user typing that fast
# would find too. So Return waits until Orca has said the last two keys.
keys_said() {
  spoken | tr -d ' ' | awk -v a="$1" -v b="$2" '$0 == a { s = 1; next } s && $0 == b { f = 1 } { if ($0 != b) s = 0 } END { exit !f }'
}
typed() { wait_for 30 keys_said "${1: -2:1}" "${1: -1}" || echo "  Orca did not say the keys typed: ${1: -2}"; }
# moved_to "regex": where the focus moved, as Orca says it. Now and then a
# lagging Orca passes over a move made while a closing dialog's events flood
# it; a user who missed it asks Orca where the focus is (KP_Enter), and so does
# the test, saying so: the answer must name the same control.
moved_to() {
  wait_for 15 said_now "$1" && return 0
  echo "  Orca did not say where the focus moved; asking it where the focus is"
  spoken | sed 's/^/  heard: /'
  xdotool key KP_Enter
  heard "$1"
}

echo "# the start, with a logo saved by an earlier run"
run="$work/run"; mkdir "$run"
cp "$seed" "$run/LOGO.BMP"
mark
start_app "$run"
xdotool windowactivate --sync "$win"
check "the window is named" heard '^Gradient Logo'
check "the focus is on Color 1, which says what it does" moved_to 'first colou?r'
check "the saved logo is said to be shown" heard '[Ss]aved.*shown'

echo "# colour 1 chosen by keyboard"
mark
xdotool key space
check "the colour dialog is heard" heard 'Farbe Auswahl'
mark
choose '#d02030'
check "colour 1 is said as it is chosen, with its hexadecimal form" heard 'Color 1.*208.*32.*48.*#d02030'
check "the focus moves on to Color 2" moved_to 'second colou?r'

echo "# colour 2 cancelled, then chosen"
mark
xdotool key space
check "the colour dialog is heard again" heard 'Farbe Auswahl'
mark
cancel
check "a cancelled dialog is said to change nothing" heard 'Color 2.*not changed'
check "the focus moves on to Make Logo" moved_to 'Draws the logo'
mark
xdotool key shift+Tab   # back to Color 2
check "Shift+Tab goes back to Color 2" heard 'Color 2'
mark
xdotool key space
check "Color 2 opens the colour dialog" heard 'Farbe Auswahl'
mark
choose '#2040d0'
check "colour 2 is said as it is chosen, with its hexadecimal form" heard 'Color 2.*32.*64.*208.*#2040d0'

echo "# Make Logo and Ok Logo"
mark
xdotool key space
check "the logo made is said, from colour 1 to colour 2" heard '[Ll]ogo.*208.*32.*48.*32.*64.*208'
check "the focus moves on to Ok Logo, which says what it does" moved_to 'Saves the colou?rs to LOGO\.TXT'
mark
xdotool key space
check "Ok Logo ends the tool" ended
check "the save is said before it ends" heard '[Ss]aved.*LOGO\.TXT.*LOGO\.BMP'
check "it saved both files" test -s "$run/LOGO.TXT" -a -s "$run/LOGO.BMP"
echo "# what was heard"
sed 's/^/  /' "$said"

finish
