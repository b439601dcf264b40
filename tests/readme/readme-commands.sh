#!/usr/bin/env bash
# Every command that the README, CONTRIBUTING.md and docs/ show, as a new user
# pastes it, where it is short enough to run here: each is first found word for
# word in its page, so that a changed page fails here until its command has
# been tried. The test command itself is left out (it runs this); the long
# fuzzing run and the benchmarks run briefly. Usage: readme-commands.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/lib.sh" "$root/build/app/gradient-logo"
start_xvfb
documented() {  # documented PAGE command: the command stands in that page
  grep -qF -- "$2" "$root/$1" || { echo "FAILED: $1 no longer shows: $2"; exit 1; }
}
window_shown() {  # window_shown pid: the tool's window shows, in the display that pid uses
  local d a
  d=$(tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | sed -n 's/^DISPLAY=//p')
  a=$(tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | sed -n 's/^XAUTHORITY=//p')
  [ -n "$d" ] && DISPLAY=$d XAUTHORITY=${a:-${XAUTHORITY:-}} \
    xdotool search --onlyvisible --name '^Gradient Logo$' >/dev/null 2>&1
}
window_of() { wait_for 20 window_shown "$1"; }
tool_under() {  # tool_under pid: the gradient-logo that process became or started
  local p
  [ "$(cat "/proc/$1/comm" 2>/dev/null)" = gradient-logo ] && { echo "$1"; return 0; }
  p=$(pgrep -n -x gradient-logo -P "$(pgrep -d, -P "$1" || echo "$1"),$1") && echo "$p"
}
app_under() { wait_for 60 tool_under "$1" >/dev/null && tool_under "$1"; }

echo "# bash scripts/start.sh, from any folder"
documented README.md "bash scripts/start.sh"
elsewhere="$work/some folder"; mkdir "$elsewhere"
(cd "$elsewhere" && exec bash "$root/scripts/start.sh") >"$work/start.log" 2>&1 &
starter=$!; pids+=("$starter")
app=$(app_under "$starter" || true)
check "start.sh starts the tool" test -n "$app"
if [ -n "$app" ]; then
  check "its window opens" window_of "$app"
  check "it works in the folder it was started from" test "$(readlink "/proc/$app/cwd")" = "$elsewhere"
  kill "$app"
fi
wait "$starter" || true

echo "# xvfb-run -a build/app/gradient-logo"
documented README.md "xvfb-run -a build/app/gradient-logo"
(cd "$root" && exec xvfb-run -a build/app/gradient-logo) >"$work/xvfb-run.log" 2>&1 &
runner=$!; pids+=("$runner")
app=$(app_under "$runner" || true)
check "it starts the tool in a virtual X server" bash -c "[ -n '$app' ]"
[ -n "$app" ] && check "whose window opens" window_of "$app" && kill "$app"
status=0; wait "$runner" || status=$?
check "and ends with it ($status)" test "$status" -eq 0

echo "# cmake --install build --prefix ~/.local"
documented docs/install.md "cmake --install build --prefix ~/.local"
home="$work/home"; mkdir "$home"
(cd "$root" && HOME="$home" bash -c 'cmake --install build --prefix ~/.local') >/dev/null
check "installs the program under ~/.local" test -x "$home/.local/bin/gradient-logo"
check "and its manual page" test -s "$home/.local/share/man/man1/gradient-logo.1.gz"

echo "# cmake --build build --target package"
documented docs/install.md "cmake --build build --target package"
rm -f "$root"/build/package/*.deb
(cd "$root" && cmake --build build --target package) >/dev/null
check "builds the Debian package" bash -c "ls '$root'/build/package/gradient-logo_*.deb >/dev/null"

echo "# bash scripts/fuzz.sh, for a few seconds"
documented docs/testing.md "bash scripts/fuzz.sh"
(cd "$root" && bash scripts/fuzz.sh 5) >"$work/fuzz.log" 2>&1 || { tail -20 "$work/fuzz.log"; false; }
check "the fuzzing run explores and finds nothing" grep -q '^Done [0-9]* runs' "$work/fuzz.log"

echo "# bash scripts/screenshot.sh, in a copy of the repository that shares its build"
documented docs/install.md "bash scripts/screenshot.sh"
copy="$work/copy"; mkdir "$copy"
(cd "$root" && git ls-files -z | xargs -0 cp --parents -t "$copy")
ln -s "$root/build" "$copy/build"
(cd "$copy" && bash scripts/screenshot.sh) >"$work/screenshot.log" 2>&1 || cat "$work/screenshot.log"
check "makes a screenshot of the window" bash -c \
  "[ \"\$(identify -format '%m %wx%h' '$copy/docs/screenshot.png')\" = 'PNG 365x140' ] && ! cmp -s '$copy/docs/screenshot.png' '$root/docs/screenshot.png'"

echo "# what the test command's own stages run word for word"
for page in README.md docs/windows.md; do
  documented "$page" "bash scripts/build-windows.sh"
  documented "$page" "bash scripts/release.sh"
done
documented docs/releasing.md "bash scripts/release.sh"
documented CONTRIBUTING.md "bash scripts/setup.sh --tests"
check "the test command runs build-windows.sh" grep -qF '"$root/scripts/build-windows.sh"' "$root/scripts/test.sh"
check "and release.sh, twice" grep -qF 'bash scripts/release.sh' "$root/scripts/test.sh"

echo "# bash scripts/test.sh --fast: the widget, end-to-end and accessibility tests"
documented CONTRIBUTING.md "bash scripts/test.sh --fast"
check "its tests are those" test "$(cd "$root/build" && ctest -N -L fast | sed -n 's/^ *Test *#[0-9]*: //p' | sort | tr '\n' ' ')" = \
  "accessibility app app_scale2 core e2e runtime runtime_scale2 runtime_screen_reader screen_reader window_manager "
for one in "cd build && ctest -R '^app\$' --output-on-failure" "QT_QPA_PLATFORM=offscreen build/tests/app_tests --gtest_filter='Form*'"; do
  documented CONTRIBUTING.md "$one"
  check "one suite or test alone: $one" bash -c "cd '$root' && $one >/dev/null"
done

echo "# the benchmarks, built as shown and run briefly: MakeLogo twice, one start-up of each"
setup="bash scripts/setup.sh libbenchmark-dev bc imagemagick"
documented bench/README.md "$setup"
bench=$(sed -n '/^```sh$/,/^```$/p' "$root/bench/README.md" | grep '^cmake ' |
  sed 's/--benchmark_repetitions=5/--benchmark_repetitions=2 --benchmark_filter=MakeLogo/; s/startup\.sh \([a-z0-9-]*\) 21$/startup.sh \1 1/')
check "the shortened commands still measure" test "$(grep -c -- '--benchmark_filter=MakeLogo.* 1$\| 1$' <<<"$bench")" -eq 2
(cd "$root" && $setup && bash -c "$bench") >"$work/bench.log" 2>&1 || { tail -20 "$work/bench.log"; false; }
check "the benchmark command measures MakeLogo" grep -q 'MakeLogo.*_median' "$work/bench.log"
check "and start-up against the bare window" grep -q '^bare Qt window' "$work/bench.log"
# The Windows figures' set-up is the test command's own; their command ran above.
documented bench/README.md "bash scripts/setup.sh --tests --windows"
check "and the Windows program's, under Wine, against the bare Win32 dialog" grep -q '^bare Win32 dialog' "$work/bench.log"
check "each with its ratio" test "$(grep -c '^ratio' "$work/bench.log")" -eq 2
check "and the command line beside ImageMagick's" grep -q '^convert gradient:red-blue' "$work/bench.log"

echo "# the README's command line, in a folder of its own"
for one in "gradient-logo --color1 '#d02030' --color2 208,32,48" "gradient-logo --print"; do
  documented README.md "$one"
done
mkdir "$work/script"
check "saves, then prints what it saved" bash -c "cd '$work/script' && PATH='$root/build/app':\$PATH &&
  gradient-logo --color1 '#d02030' --color2 208,32,48 >/dev/null && gradient-logo --print | grep -qx 'color2 #d02030 208,32,48'"

finish
