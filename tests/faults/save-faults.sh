#!/usr/bin/env bash
# "Ok Logo" on a disk that fails for real, with the real binary in its own X
# server: a small tmpfs that fills up part-way through the save, the same
# turned read-only, every system call of the save failing in turn with the
# errors a disk gives (strace's fault injection), and the process killed before
# each of those calls, followed by a save that must clean up what the killed
# one left; and a LOGO.BMP that cannot be replaced (a folder, a link into a
# read-only folder). After every failure both files are as they were (or, where
# only the flush of their folder failed, both new), a message names the file
# and the reason, the window stays open, and a later "Ok Logo" saves; after a
# kill each file is its old bytes or the whole new file. Where the file system
# gives no hard links (link refused; an exFAT stick through FUSE) or no locks
# (flock refused), every save saves and leaves nothing beside the pair.
# Needs root (mount) and ptrace; without them it fails, it never skips.
# Usage: save-faults.sh path/to/gradient-logo
set -euo pipefail
CHECK_QUIET=1
source "$(dirname "$0")/../lib.sh" "$1"
points=0

mounts=()
unmount_all() { for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; done; }
at_exit+=(unmount_all)

# The world this test needs, or a loud failure.
[ "$(id -u)" -eq 0 ] || fail "save-faults needs root to mount its own filesystem"
probe="$work/probe"; mkdir "$probe"
mount -t tmpfs -o size=64k tmpfs "$probe" || fail "cannot mount a tmpfs here, so a full disk cannot be made"
umount "$probe"
strace -qq -o /dev/null true || fail "strace cannot trace a process here"
start_xvfb

# The colours every run picks, and what a whole save of them writes; and
# another copy's, for two copies saving at once.
made() {  # made dir colour1 colour2 "r g b": the tool started in dir with that logo made
  start_app "$1"
  color1; choose "$2"
  color2; choose "$3"
  make_logo
  shows 238 120 "$4" >/dev/null
}
make_red_blue() { made "$1" '#ff0000' '#0000ff' "0 0 255"; }
make_green_yellow() { made "$1" '#00ff00' '#ffff00' "255 255 0"; }
for logo in new:red_blue other:green_yellow; do   # the references: clean saves
  mkdir "$work/ref"; "make_${logo#*:}" "$work/ref"; ok_logo; ended
  mv "$work/ref/LOGO.TXT" "$work/${logo%%:*}.txt"; mv "$work/ref/LOGO.BMP" "$work/${logo%%:*}.bmp"; rmdir "$work/ref"
  [ "$(stat -c %s "$work/${logo%%:*}.bmp")" -eq 9270 ] || fail "the reference save"
done
logo_txt 255 0 0 0 0 255 | cmp -s - "$work/new.txt" || fail "the reference LOGO.TXT"

logo_txt 0 255 0 255 0 255 >"$work/old.txt"
head -c 9270 /dev/zero | tr '\0' 'o' >"$work/old.bmp"
seed_old() { cp "$work/old.txt" "$1/LOGO.TXT"; cp "$work/old.bmp" "$1/LOGO.BMP"; }
pair_is() {  # pair_is dir old|new|other: both files those of that pair
  cmp -s "$1/LOGO.TXT" "$work/$2.txt" && cmp -s "$1/LOGO.BMP" "$work/$2.bmp"
}
snap="$work/snap"
snapshot() { rm -rf "$snap"; mkdir "$snap"; cp "$1"/LOGO.* "$snap/"; }  # the files before a save

old_or_whole() {  # old_or_whole file old new: exactly one of the two
  cmp -s "$1" "$2" || cmp -s "$1" "$3"
}
both_old_or_whole() {  # both_old_or_whole dir snapshot-dir
  old_or_whole "$1/LOGO.TXT" "$2/LOGO.TXT" "$work/new.txt" &&
    old_or_whole "$1/LOGO.BMP" "$2/LOGO.BMP" "$work/new.bmp"
}
no_temporary_files() {  # no_temporary_files dir [record]: nothing beside the pair (but a save's record)
  [ -z "$(find "$1" -maxdepth 1 -name '.LOGO.*' ! -name "${2:+.LOGO.TXT.save-record}")" ]
}
# The next start, which finishes (or gives up) a save that was cut short.
next_start() { cli "$1" --print >/dev/null 2>&1 || true; }

# A failed save: a message, and the window still open. (What the message says,
# the file and the system's reason, the widget tests read on a full disk.)
failed_save() {
  local box
  box=$(message_box) || { echo "  no message"; return 1; }
  dismiss "$box"
  kill -0 "$app_pid" 2>/dev/null || { echo "  the tool ended"; return 1; }
}

traced() {  # traced [pid]: the tool's process, or that one, under strace
  local t; t=$(awk '/^TracerPid/ {print $2}' "/proc/${1:-$app_pid}/status" 2>/dev/null || true)
  [ -n "$t" ] && [ "$t" != 0 ]
}
untraced() { ! traced; }
tracer=
attach() {  # attach strace-arguments...: strace on the tool's GUI thread
  strace -qq -o /dev/null -p "$app_pid" "$@" &
  tracer=$!
  wait_for 5 traced || fail "strace did not attach"
}
detach() {
  kill "$tracer" 2>/dev/null || true
  wait "$tracer" 2>/dev/null || true
  wait_for 5 untraced || true
}

mnt="$work/mnt"; mkdir "$mnt"
mount -t tmpfs -o size=1m,nr_inodes=64 tmpfs "$mnt"; mounts+=("$mnt")
# disk_case "what" TXT BMP FAULT FIX: the logo made on the small filesystem over
# old files; FAULT makes the disk fail, and Ok Logo must fail with LOGO.TXT and
# LOGO.BMP each the TXT or BMP one (old or new); FIX mends the disk, and Ok Logo
# then saves both and ends the tool.
disk_case() {
  local what=$1 txt=$2 bmp=$3 fault=$4 fix=$5
  rm -f "$mnt"/LOGO.*; mount -o remount,size=1m,rw "$mnt"; seed_old "$mnt"
  make_red_blue "$mnt"
  mount -o "remount,$fault" "$mnt"
  ok_logo
  check "$what: failure said, window open" failed_save
  check "$what: LOGO.TXT the $txt one" cmp -s "$mnt/LOGO.TXT" "$work/$txt.txt"
  check "$what: LOGO.BMP the $bmp one" cmp -s "$mnt/LOGO.BMP" "$work/$bmp.bmp"
  check "$what: no half-written file left" no_temporary_files "$mnt"
  mount -o "remount,$fix" "$mnt"
  ok_logo
  check "$what, mended: Ok Logo saves and ends the tool" ended
  check "$what, mended: both files whole and new" both_old_or_whole "$mnt" "$work/nonexistent"
  points=$((points + 1))
}
echo "# a disk that fills up part-way through the save"
# The old files take 4 pages: 5 leave room for the new colour log only, 4 for nothing.
disk_case "full after the colour log" old old size=20k size=1m
disk_case "no room at all" old old size=16k size=1m
echo "# the filesystem turned read-only between Make Logo and Ok Logo"
disk_case "read-only" old old ro rw

echo "# the command line on a full disk and on a read-only one: status 1, the reason said"
cli_refused() {
  local status=0
  cli "$mnt" --color1 '#ff0000' --color2 '#0000ff' >/dev/null 2>"$work/err" || status=$?
  [ "$status" -eq 1 ] && grep -q 'could not be saved' "$work/err" || { echo "  status $status: $(cat "$work/err")"; return 1; }
}
for fault in size=16k ro; do
  rm -f "$mnt"/LOGO.*; mount -o remount,size=1m,rw "$mnt"; seed_old "$mnt"
  mount -o "remount,$fault" "$mnt"
  check "command line, $fault: status 1, the reason said" cli_refused
  check "command line, $fault: both files as they were" pair_is "$mnt" old
  check "command line, $fault: nothing left" no_temporary_files "$mnt"
done
mount -o remount,size=1m,rw "$mnt"

# blocked_case "what" SETUP CHECK: LOGO.BMP made unreplaceable by SETUP after
# Make Logo; Ok Logo fails and changes neither file (CHECK: LOGO.BMP as it was).
blocked_case() {
  local what=$1 setup=$2 as_it_was=$3 dir="$work/blocked"
  rm -rf "$dir"; mkdir "$dir"; seed_old "$dir"
  make_red_blue "$dir"
  eval "$setup"
  ok_logo
  check "$what: failure said, window open" failed_save
  check "$what: LOGO.TXT as it was" cmp -s "$dir/LOGO.TXT" "$work/old.txt"
  check "$what: LOGO.BMP as it was" eval "$as_it_was"
  check "$what: no half-written file left" no_temporary_files "$dir"
  kill "$app_pid"; ended
  points=$((points + 1))
}
echo "# a LOGO.BMP that cannot be replaced, found before LOGO.TXT is"
blocked_case "a folder named LOGO.BMP" 'rm "$dir/LOGO.BMP"; mkdir "$dir/LOGO.BMP"' \
  'test -d "$dir/LOGO.BMP" && rmdir "$dir/LOGO.BMP"'
shelf="$work/shelf"; mkdir "$shelf"
mount --bind "$shelf" "$shelf"; mounts+=("$shelf")
blocked_case "a link to a file in a read-only folder" \
  'cp "$work/old.bmp" "$shelf/LOGO.BMP"; mount -o remount,bind,ro "$shelf"; ln -sf "$shelf/LOGO.BMP" "$dir/LOGO.BMP"' \
  'test -L "$dir/LOGO.BMP" && cmp -s "$shelf/LOGO.BMP" "$work/old.bmp"'
# In a shared sticky folder (1777, another's), a link that a third user
# planted there, as the kernel's protected_symlinks would not follow it.
blocked_case "another user's link in a shared sticky folder" \
  'chown daemon "$dir"; chmod 1777 "$dir"; cp "$work/old.txt" "$work/victim"
   ln -sf "$work/victim" "$dir/LOGO.TXT"; chown -h nobody "$dir/LOGO.TXT"' \
  'cmp -s "$dir/LOGO.BMP" "$work/old.bmp" && test -L "$dir/LOGO.TXT" && cmp -s "$work/victim" "$work/old.txt"'

# Each call of the save, in order, as "syscall occurrence file pair": the
# occurrence counts that call on the GUI thread from the moment strace
# attaches; pair is what a failure there leaves: both files as they were
# (old), or both new where only the flush of the folder after them failed;
# where the old file's second name is refused, it is copied and all is saved.
# Both new files are written first; then the folder is locked (openat 3, and
# 4 to see that the lock excludes), the writer named (openat 5 and 6, of
# /proc), the record made and flushed with
# its folder, the old LOGO.TXT linked aside, the two renamed into place, the
# folder flushed and the record removed (a removal refused: it goes with the
# next start).
steps=(
  "openat 1 LOGO.TXT old" "pwrite64 1 LOGO.TXT old" "fchmod 1 LOGO.TXT old" "fsync 1 LOGO.TXT old"
  "openat 2 LOGO.BMP old" "pwrite64 2 LOGO.BMP old" "fchmod 2 LOGO.BMP old" "fsync 2 LOGO.BMP old"
  "openat 7 record old" "pwrite64 3 record old" "fsync 3 record old" "close 4 record old"
  "openat 8 record old" "fsync 4 record old" "close 5 record old"
  "link 1 LOGO.TXT saved" "close 6 LOGO.TXT old" "rename 1 LOGO.TXT old" "close 7 LOGO.BMP old"
  "rename 2 LOGO.BMP old"
  "openat 9 LOGO.TXT new" "fsync 5 LOGO.TXT new" "close 8 LOGO.TXT new"
  "openat 10 LOGO.BMP new" "fsync 6 LOGO.BMP new" "close 9 LOGO.BMP new"
  "unlink 2 record saved"
)
both_as() {  # both_as dir old|new: both files as before the save, or both new
  if [ "$2" = old ]; then
    cmp -s "$1/LOGO.TXT" "$snap/LOGO.TXT" && cmp -s "$1/LOGO.BMP" "$snap/LOGO.BMP"
  else
    pair_is "$1" new
  fi
}

# saved_case "what" dir reference: after Ok Logo over the old pair, the tool
# has saved the reference pair and ended, and nothing is left beside it.
saved_case() {  # ... start: what a record left (its removal failed) goes with the next start
  local what=$1 dir=$2 ref=$3
  check "$what: Ok Logo saves and ends the tool" ended
  detach
  [ -z "${4:-}" ] || next_start "$dir"
  check "$what: both files new" pair_is "$dir" "$ref"
  check "$what: nothing left beside them" no_temporary_files "$dir"
  points=$((points + 1))
}
echo "# every call of the save failing in turn"
dir="$work/inject"; mkdir "$dir"
make_red_blue "$dir"
for step in "${steps[@]}"; do
  read -r call n file pair <<<"$step"
  for errno in ENOSPC EIO EDQUOT EROFS; do
    seed_old "$dir"; snapshot "$dir"
    attach -e trace="$call" -e inject="$call:error=$errno:when=$n"
    ok_logo
    if [ "$pair" = saved ]; then
      saved_case "$call #$n ($file) fails with $errno" "$dir" new start
      make_red_blue "$dir"
      continue
    fi
    check "$call #$n ($file) fails with $errno: failure said, window open" failed_save
    detach
    check "$call #$n ($file) fails with $errno: both files $pair" both_as "$dir" "$pair"
    if [ "$pair" = new ]; then  # unconfirmed: the record stays with its writer, for a cut to be finished
      check "$call #$n ($file) fails with $errno: nothing left but the record" no_temporary_files "$dir" record
      ok_logo
      saved_case "$call #$n ($file) fails with $errno, then Ok Logo again" "$dir" new
      make_red_blue "$dir"
      continue
    fi
    next_start "$dir"
    check "$call #$n ($file) fails with $errno, then a start: both files $pair" both_as "$dir" "$pair"
    check "$call #$n ($file) fails with $errno, then a start: nothing left" no_temporary_files "$dir"
    points=$((points + 1))
  done
done
seed_old "$dir"
ok_logo
check "no fault left: Ok Logo saves and ends the tool" ended
check "no fault left: both files new" both_as "$dir" new

echo "# no second name for the old file (link refused, as FUSE and network file"
echo "# systems refuse it), and no lock (flock refused, as NFS without its lock manager)"
for fault in link:EPERM link:ENOSYS flock:ENOLCK; do
  seed_old "$dir"; make_red_blue "$dir"
  attach -e trace="${fault%%:*}" -e inject="${fault%%:*}:error=${fault#*:}"
  ok_logo
  saved_case "every $fault" "$dir" new
done

echo "# a USB stick: exFAT on a loop device through FUSE, with no hard links"
truncate -s 16M "$work/stick.img"
mkfs.exfat "$work/stick.img" >/dev/null || fail "mkfs.exfat cannot make an exFAT image"
loop=$(losetup -f --show "$work/stick.img") || fail "no loop device here, so no USB stick can be made"
at_exit+=("losetup -d $loop")
stick="$work/stick"; mkdir "$stick"
mount.exfat-fuse "$loop" "$stick" >/dev/null || fail "exfat-fuse cannot mount the stick"
mounts+=("$stick")
seed_old "$stick"
for logo in red_blue:new green_yellow:other red_blue:new; do
  "make_${logo%%:*}" "$stick"; ok_logo
  saved_case "exFAT, a ${logo%%:*} save after the others" "$stick" "${logo#*:}"
done

# two_copies "what" inject [flock]: in one folder, a green-yellow copy saves
# while a red-blue one is held (strace's inject) just after its first rename,
# as a slow disk holds it; both files must come from one save, and nothing be
# left. flock: what both copies' flock does instead (a network folder's).
one_save() {
  local t
  for t in new other old; do cmp -s "$1/LOGO.TXT" "$work/$t.txt" && cmp -s "$1/LOGO.BMP" "$work/$t.bmp" && return; done
  return 1
}
two_copies() {
  local what=$1 inject=$2 flock=${3:-} dir="$work/two" first second first_win second_win second_tracer=
  rm -rf "$dir"; mkdir "$dir"; seed_old "$dir"
  make_green_yellow "$dir"; second=$app_pid; second_win=$win; open_windows=("$win")
  make_red_blue "$dir"; first=$app_pid; first_win=$win; open_windows=()
  if [ -n "$flock" ]; then
    strace -qq -o /dev/null -p "$second" -e trace=flock -e inject="$flock" & second_tracer=$!
    wait_for 5 traced "$second" || fail "strace did not attach"
  fi
  attach -e trace=rename,flock -e inject="$inject" ${flock:+-e inject="$flock"}
  ok_logo
  wait_for 10 cmp -s "$dir/LOGO.TXT" "$work/new.txt" || echo "  the first copy's LOGO.TXT never came"
  win=$second_win; xdotool windowraise "$win"; ok_logo   # the two windows lie one on the other
  check "$what: the second copy saves and ends" wait_for 20 gone "$second"
  win=$first_win; app_pid=$first
  if [[ "$inject" == *error=* ]]; then
    check "$what: the first copy says its save failed" failed_save
    kill "$first"
  fi
  check "$what: the first copy ends" ended
  detach
  kill $second_tracer "$second" "$first" 2>/dev/null || true
  check "$what: both files from one save" one_save "$dir"
  check "$what: both files the second copy's" pair_is "$dir" other
  check "$what: nothing left behind" no_temporary_files "$dir"
  points=$((points + 1))
}
echo "# two copies saving in one folder at once"
two_copies "held after its first rename" "rename:delay_exit=3000000:when=1"
two_copies "held before its second rename, which fails" "rename:error=EIO:delay_enter=3000000:when=2"
two_copies "flock refused, held after its first rename" "rename:delay_exit=3000000:when=1" "flock:error=ENOLCK"
two_copies "flock locking nothing, held after its first rename" "rename:delay_exit=3000000:when=1" "flock:retval=0"

echo "# the process killed before each call of the save"
for step in "${steps[@]}"; do
  read -r call n file pair <<<"$step"
  dir="$work/kill-$call-$n"; mkdir "$dir"; seed_old "$dir"
  make_red_blue "$dir"
  snapshot "$dir"
  attach -e trace="$call" -e inject="$call:signal=SIGKILL:when=$n"
  ok_logo
  check "killed before $call #$n: the tool is gone" ended
  detach
  check "killed before $call #$n: each file old or whole" both_old_or_whole "$dir" "$snap"
  next_start "$dir"
  check "killed before $call #$n, then a start: the old pair or the new" one_save "$dir"
  make_red_blue "$dir"; ok_logo
  check "killed before $call #$n, then a save: it ends the tool" ended
  check "killed before $call #$n, then a save: both files new" both_old_or_whole "$dir" "$work/nonexistent"
  check "killed before $call #$n, then a save: no hidden file left" no_temporary_files "$dir"
  points=$((points + 1))
done

echo "fault points covered: $points"
finish
