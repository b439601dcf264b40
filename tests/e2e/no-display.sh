#!/usr/bin/env bash
# No display reachable, in every form: the tool says what to do in one line on
# standard error and ends with status 1; never an abort or a core dump. Any
# other failure to start (a missing platform plugin) is said as Qt says it, in
# one line, and is never called a missing display. The command line works
# there, starting no platform, and refuses every wrong call touching nothing.
# Usage: no-display.sh path/to/gradient-logo
set -euo pipefail
source "$(dirname "$0")/../lib.sh" "$1"
cd "$work"

# A display number that no server holds.
for n in $(seq 150 250); do
  [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] && { free=$n; break; }
done
mkdir -m 700 runtime
# says "pattern" vars...: the tool started with only these display variables
# ends with status 1 and one line on standard error matching the pattern.
says() {
  local pattern=$1 status=0; shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" \
    "$bin" >out.txt 2>err.txt </dev/null || status=$?
  [ "$status" -eq 1 ] && [ "$(wc -l <err.txt)" -eq 1 ] && [ ! -s out.txt ] && grep -q "$pattern" err.txt &&
    [ -z "$(ls core* 2>/dev/null)" ] || { echo "  status $status:"; cat err.txt; return 1; }
}
no_display='^gradient-logo: no display could be reached (.*xvfb-run -a '
check "DISPLAY unset" says "$no_display"
check "DISPLAY empty" says "$no_display" DISPLAY=
check "DISPLAY naming a server that is not there" says "$no_display" DISPLAY=":$free"
check "DISPLAY naming a closed TCP display" says "$no_display" DISPLAY="127.0.0.1:$free"
check "Wayland asked for, its socket missing" says "$no_display" \
  QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=wayland-gone
check "a Wayland session whose socket is missing" says "$no_display" \
  XDG_SESSION_TYPE=wayland XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=wayland-gone
check "a missing platform plugin is named, not called a missing display" \
  says '^gradient-logo: Qt could not start: .*no-such-platform' QT_QPA_PLATFORM=no-such-platform

echo "# the command line needs no display and starts no platform"
mkdir line; cd line
# run status arguments...: the tool, with no display, ends with that status
run() {
  local want=$1 status=0; shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" "$@" >out.txt 2>err.txt </dev/null || status=$?
  [ "$status" -eq "$want" ] || { echo "  status $status:"; cat err.txt; return 1; }
}
check "a file given, as a desktop drops one, is no option: the window is what starts" \
  eval "run 1 picture.bmp && run 1 -- --color1 && grep -q 'no display could be reached' err.txt"
saved() {  # traced: a sanitizer build's leak check cannot run under ptrace
  strace -f -qq -e trace=openat,connect -o ../trace.txt env -u DISPLAY -u WAYLAND_DISPLAY \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$bin" "$@" >out.txt &&
    grep -qx 'Saved LOGO.TXT and LOGO.BMP in .*line\.' out.txt
}
check "--color1 --color2: saved, said where, status 0" saved --color1 '#d02030' --color2=208,32,48
check "the colour log written" cmp -s LOGO.TXT <(logo_txt 208 32 48 208 32 48)
check "no Qt platform plugin loaded" bash -c "! grep -q 'platforms/' ../trace.txt"
check "no display connected to" bash -c "! grep -Eq 'X11-unix|wayland|sun_path' ../trace.txt"
printf '\x1a' >>LOGO.TXT
check "--print: both colours (an end-of-file byte after the log accepted)" \
  eval "run 0 --print && diff out.txt <(printf 'color1 #d02030 208,32,48\ncolor2 #d02030 208,32,48\n')"
version=$(sed -nE 's/^project\([^ ]+ VERSION ([0-9.]+).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
check "--version: the project's version" eval "run 0 --version && grep -qx 'gradient-logo $version' out.txt"
check "--help: every option" eval "run 0 --help && [ \"\$(grep -c -- '--color1\|--color2\|--print\|--version' out.txt)\" -ge 4 ]"
cp LOGO.TXT ../log.before; cp LOGO.BMP ../bmp.before
# wrong named arguments...: status 2, a message naming the argument, nothing changed
wrong() {
  local named=$1; shift
  run 2 "$@" && grep -qF -- "$named" err.txt && [ ! -s out.txt ] && cmp -s LOGO.TXT ../log.before &&
    cmp -s LOGO.BMP ../bmp.before && [ "$(ls | wc -l)" -eq 4 ]
}
while IFS='|' read -r named args; do
  read -ra argv <<<"$args"
  check "a wrong call, $args: status 2, $named named, nothing written" wrong "$named" "${argv[@]}"
done <<'CALLS'
#d0203|--color1 #d0203 --color2 #000000
256,0,0|--color1=256,0,0 --color2 1,2,3
red|--color1 red --color2 1,2,3
1,2|--color1 #000000 --color2 1,2
--color1|--color1
--color2|--color1 #000000
--bogus|--bogus
extra|--color1 #000000 --color2 #ffffff extra
--print|--print --color1 #000000
CALLS
printf 'not a colour log' >LOGO.TXT
check "--print of a LOGO.TXT that the tool did not write: status 1" eval "run 1 --print && grep -q LOGO.TXT err.txt"
rm LOGO.TXT
check "--print with no LOGO.TXT: status 1" eval "run 1 --print && grep -q LOGO.TXT err.txt"

finish
