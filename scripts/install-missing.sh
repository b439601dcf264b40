#!/usr/bin/env bash
# Installs those of the named Debian packages that are not installed yet, as
# root or through sudo. Usage: scripts/install-missing.sh package...
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
# A mirror in the middle of a sync serves an index or a package of the wrong
# size for a minute or two: each step is tried again a few times, a little
# later, before it counts as failed. An index that still fails is left to the
# install, which says what it cannot find.
try() {
  local n
  for n in 1 2 3; do
    "$@" && return 0
    ((n < 3)) || break
    echo "install-missing: attempt $n of '$*' failed; trying again in $((n * 20)) s" >&2
    sleep $((n * 20))
  done
  return 1
}
try "${sudo[@]}" apt-get update -qq || echo "install-missing: the package lists could not all be refreshed" >&2
try env DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
