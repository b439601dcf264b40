# Shared by the shell tests. `check "what" command...` runs one check and counts
# it; `finish` prints the closing line and fails when any check failed. With
# CHECK_QUIET=1 only failures are printed.
failures=0
passes=0
check() {
  local what=$1; shift
  if "$@"; then
    passes=$((passes + 1))
    [ -n "${CHECK_QUIET:-}" ] || echo "ok: $what"
  else
    failures=$((failures + 1)); echo "FAILED: $what"
  fi
}
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
