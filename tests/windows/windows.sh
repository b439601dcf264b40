#!/usr/bin/env bash
# The Windows program as built, then run under Wine in an Xvfb of its own:
# its machine type, that it imports only Windows' own DLLs, icon 1 and the
# manifest's architecture; the end-to-end drive of the Linux tool (by clicks
# and by keyboard, the preload, a message); and what only Windows has or does
# differently: the colour dialog's title, the three messages' texts, the close
# box, the end of the session, a LOGO.BMP marked read-only, a hidden LOGO.TXT,
# what a screen reader is told of each control, and LOGO.TXT and LOGO.BMP
# byte for byte as the Linux build writes them for the same colours, at 96,
# 144 and 192 dots per inch (where the captions must sit well inside their
# buttons, at the font's size).
# With the program and its architecture alone, only the checks of its file.
# Usage: windows.sh path/to/gradient-logo.exe X86|amd64 [path/to/linux/gradient-logo
#        path/to/accessible_names.exe]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$(realpath "$1")
arch=$2
linux=${3:+$(realpath "$3")}
names=${4:+$(realpath "$4")}
case "$arch" in
  X86) prefix=i686 format=pei-i386 ;;
  amd64) prefix=x86_64 format=pei-x86-64 ;;
  *) echo "FAILED: unknown architecture $arch"; exit 1 ;;
esac

echo "# the program as built"
source "$here/../lib.sh" "$exe"
check "a $format program" bash -c "$prefix-w64-mingw32-objdump -f '$exe' | grep -q 'file format $format'"
"$prefix-w64-mingw32-objdump" -p "$exe" | sed -nE 's/^\s*DLL Name: (.*)/\1/p' | tr 'A-Z' 'a-z' | sort >"$work/dlls"
windows_own() { ! grep -vxE 'kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|msvcrt\.dll' "$work/dlls"; }
check "it imports only Windows' own DLLs ($(paste -sd' ' "$work/dlls"))" windows_own
"$prefix-w64-mingw32-windres" -i "$exe" -J coff -O res -o "$work/resources.res"
size=$(stat -c %s "$exe")
# Each release's mingw-w64 held to its own figures: Debian 13's makes larger programs.
case "$arch $(os_release VERSION_CODENAME)" in
  "X86 bookworm") most=240 ;;
  "amd64 bookworm") most=204 ;;
  X86*) most=306 ;;
  *) most=250 ;;
esac
check "it is small enough to copy around: $size bytes, at most $most KB ($(debian_release)'s toolchain)" \
  test "$size" -le $((most * 1024))
version=$(sed -nE 's/^project\([^ ]+ VERSION ([0-9.]+).*/\1/p' "$here/../../CMakeLists.txt")
check "it carries icon 1, the manifest for $arch and version $version" \
  /usr/bin/python3 "$here/check_res.py" "$work/resources.res" "$arch" "$version"
if [ -z "$linux" ]; then finish; exit; fi

if [ "$arch" = X86 ] && ! runs_32bit; then
  # Nothing installable changes that: the kernel was started with its 32-bit
  # support off. The 64-bit program, from the same sources, runs every check.
  not_run "the $arch program under Wine: this machine's kernel runs no 32-bit program (Exec format error)"
  finish; exit
fi
if [ "$arch" = X86 ] && [ ! -x /usr/lib/wine/wine ]; then
  # Wine's 32-bit half must match the 64-bit libraries' versions exactly; an
  # archive whose i386 index is out of step (a mirror mid-sync) cannot give it.
  # Anything else that keeps it away is a fault of the set-up.
  apt-get install -s -qq wine32:i386 >"$work/wine32.log" 2>&1 &&
    fail "Wine's 32-bit half is installable but was not installed"
  sed 's/^/  /' "$work/wine32.log" | grep -m5 -i 'depends\|E:' || true
  not_run "the $arch program under Wine: Wine's 32-bit half cannot be installed from this machine's archive"
  finish; exit
fi

echo "# the end-to-end drive, under Wine"
check "the end-to-end test passes" bash "$here/../e2e/e2e.sh" "$exe"

echo "# what is Windows' own"
start_xvfb
export WINEDEBUG=+msgbox   # Wine notes the text of every message box in the program's log
mkdir "$work/run"
start_app "$work/run"
check "the window is titled Gradient Logo" test "$(xdotool getwindowname "$win")" = "Gradient Logo"
color1
check "the colour dialog is titled Farbe Auswahl" test -n "$(colour_dialog)"
cancel
said() { grep -aqF "\"$1\"" "$work/app.log"; }   # the text the program asked a message box to show
message() {  # message "text": a message box opens, shows the text, and Return closes it
  local box; box=$(message_box) && wait_for 5 said "$1" && dismiss "$box" || { echo "  no message $1"; return 1; }
}
make_logo
check "no colour: Color1 and Color2 missing" message "Color1 and Color2 missing"
color1; choose '#ff0000'; make_logo
check "no colour 2: Color2 missing" message "Color2 missing"
end_session; ended
start_app "$work/run"
color2; choose '#0000ff'; make_logo
check "no colour 1: Color1 missing" message "Color1 missing"
check "the window stays open" kill -0 "$app_pid"
# The close box: Wine draws the frame, its close box at the right of the title bar.
xdotool mousemove --window "$win" $((win_width - dx - 10)) $((dy / 2)) click 1
check "the close box ends the tool" ended
no_files() { [ ! -e "$1/LOGO.TXT" ] && [ ! -e "$1/LOGO.BMP" ]; }
check "the close box wrote nothing" no_files "$work/run"
start_app "$work/run"
color1; choose '#ff0000'; color2; choose '#0000ff'; make_logo
end_session
check "the end of the session ends the tool" ended
check "the end of the session wrote nothing" no_files "$work/run"

echo "# a LOGO.BMP marked read-only: neither file changes"
printf 'old logo' >"$work/run/LOGO.BMP"
printf 'old log' >"$work/run/LOGO.TXT"
(cd "$work/run" && wine cmd /c attrib +r LOGO.BMP >/dev/null 2>&1)
start_app "$work/run"
color1; choose '#ff0000'; color2; choose '#0000ff'; make_logo; ok_logo
names_file() { grep -aF 'The logo could not be saved.' "$work/app.log" | grep -aqF 'LOGO.BMP: '; }
refused() { local box; box=$(message_box) && wait_for 5 names_file && dismiss "$box"; }
check "Ok Logo says LOGO.BMP could not be saved" refused
check "the window stays open" kill -0 "$app_pid"
check "LOGO.BMP is as it was" bash -c "printf 'old logo' | cmp -s - '$work/run/LOGO.BMP'"
check "LOGO.TXT is as it was" bash -c "printf 'old log' | cmp -s - '$work/run/LOGO.TXT'"
check "no temporary file is left" test -z "$(find "$work/run" -name '.LOGO.*')"
grep -a 'could not be saved' "$work/app.log" | sed 's/^.*MSGBOX_OnInit /  it said: /' || true
end_session; ended

echo "# a hidden LOGO.TXT stays hidden, and no hidden file is left"
rm -f "$work/run/LOGO.BMP"
(cd "$work/run" && wine cmd /c attrib +h LOGO.TXT >/dev/null 2>&1)
attributes() { (cd "$work/run" && wine cmd /c attrib "$1" 2>/dev/null) | tr -d '\r'; }
hidden() { attributes "$1" | grep -Eq '^[A-Z ]*H[A-Z ]* '; }
check "LOGO.TXT is hidden before" hidden LOGO.TXT
start_app "$work/run"
color1; choose '#ff0000'; color2; choose '#0000ff'; make_logo; ok_logo
check "Ok Logo saves and ends the tool" ended
check "LOGO.TXT is the new one" bash -c "grep -q '255,000,000' '$work/run/LOGO.TXT'"
check "LOGO.TXT is still hidden" hidden LOGO.TXT
plain_new() { test -s "$work/run/$1" && [ -n "$(attributes "$1")" ] && ! hidden "$1"; }
check "LOGO.BMP, new, is not hidden" plain_new LOGO.BMP
check "no temporary file is left" test -z "$(find "$work/run" -name '.LOGO.*')"

# What a screen reader is told, asked of oleacc from a process of its own:
# "role<TAB>name<TAB>description" a line per window, roles by their values
# (40 graphic, 41 static text, 43 push button, 20 grouping), the same names
# and descriptions as the Linux build's.
heard() {
  echo "# what a Windows screen reader is told"
  wine "$names" "Gradient Logo" 2>&1 | tr -d '\r' >"$work/heard" || { cat "$work/heard"; fail "oleacc cannot be asked"; }
  check "the window is named Gradient Logo and says what the tool is for" \
    grep -qE $'^[0-9]+\tGradient Logo\tMakes a two-colour gradient logo' "$work/heard"
  for b in "Make Logo" "Ok Logo" "Color 1" "Color 2"; do
    check "$b is a push button named $b that says what it does" grep -qE $'^43\t'"$b"$'\t.+' "$work/heard"
  done
  check "the group is a grouping named Gradient Colorbar" grep -qE $'^20\tGradient Colorbar\t' "$work/heard"
  check "the colour 1 swatch is text that says its colour" \
    grep -qE $'^41\tColor 1: red 208, green 32, blue 48\t' "$work/heard"
  check "the colour 2 swatch is text that says its colour" \
    grep -qE $'^41\tColor 2: red 32, green 80, blue 224\t' "$work/heard"
  check "the logo is a graphic with its size" grep -qxF $'40\tLogo\t128 x 24 pixel picture' "$work/heard"
}

echo "# the same files as the Linux build writes; what a screen reader hears meanwhile"
mkdir "$work/windows" "$work/linux"
live_heard() { grep -qF "$1" "$work/live"; }
for platform in windows linux; do
  if [ "$platform" = linux ]; then
    start_app "$work/linux" "$linux"
  else
    wine "$names" --live 120 >"$work/live" 2>&1 &
    pids+=($!)
    start_app "$work/windows"
  fi
  color1; choose '#d02030'
  [ "$platform" = linux ] ||
    check "a new colour is heard as a live region's change" \
      wait_for 10 live_heard "Color 1 is now red 208, green 32, blue 48, #d02030."
  color2; choose '#2050e0'; make_logo; shows 362 2 "32 80 224"
  if [ "$platform" = windows ]; then
    check "the logo made is heard" \
      wait_for 10 live_heard "Logo made, from red 208, green 32, blue 48 to red 32, green 80, blue 224."
    heard
  fi
  ok_logo; ended
done
check "LOGO.TXT is byte for byte the Linux build's" cmp "$work/windows/LOGO.TXT" "$work/linux/LOGO.TXT"
check "LOGO.BMP is byte for byte the Linux build's" cmp "$work/windows/LOGO.BMP" "$work/linux/LOGO.BMP"

echo "# at 150 % and 200 %: laid out at the screen's DPI, the same files"
# The sizes of the icons that Wine hands the X server for the window.
icon_sizes() { xprop -id "$win" _NET_WM_ICON 2>/dev/null | sed -nE 's/.*Icon \(([0-9]+) x [0-9]+\).*/\1/p' | sort -n | paste -sd' '; }
icons_for_dpi() { [ "$(icon_sizes)" = "$(px 16) $(px 32)" ] || { echo "  icons of $(icon_sizes) pixels"; return 1; }; }
# The window as shown, until its buttons are painted (or 10 s have passed).
captions_inside() {
  import -window "$win" -depth 8 "ppm:$work/shot.ppm" 2>/dev/null &&
    /usr/bin/python3 "$here/captions.py" "$work/shot.ppm" "$dpi" "$dx" "$dy" >"$work/captions"
}
for d in 144 192; do
  set_dpi "$d"
  mkdir "$work/at$d"
  start_app "$work/at$d"
  check "at $d DPI the drawing area is $(px 365) x $(px 140) pixels" client_size_right
  check "at $d DPI the window's icons are drawn for $(px 16) and $(px 32) pixels" icons_for_dpi
  check "at $d DPI each caption is the font's size and well inside its button" wait_for 10 captions_inside
  sed 's/^/  /' "$work/captions"
  color1; choose '#d02030'; color2; choose '#2050e0'; make_logo
  check "at $d DPI the logo shows, stretched to the drawing area" shows 362 2 "32 80 224"
  ok_logo; ended
  check "at $d DPI LOGO.TXT is byte for byte the Linux build's" cmp "$work/at$d/LOGO.TXT" "$work/linux/LOGO.TXT"
  check "at $d DPI LOGO.BMP is byte for byte the Linux build's" cmp "$work/at$d/LOGO.BMP" "$work/linux/LOGO.BMP"
done
set_dpi 96

finish
