#!/usr/bin/env bash
# install-deps.sh LIST...: installs the Debian packages of the named lists
# (scripts/debian-packages-LIST.txt, e.g. "run" or "run test") that are
# missing (as root).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
packages=()
for list in "$@"; do
  mapfile -t -O "${#packages[@]}" packages < <(grep -v -E '^\s*(#|$)' "$here/debian-packages-$list.txt")
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
