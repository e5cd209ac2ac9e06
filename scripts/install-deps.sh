#!/usr/bin/env bash
# install-deps.sh LIST...: installs the Debian packages of the named lists
# (scripts/debian-packages-LIST.txt, e.g. "run" or "run test") that are
# missing (as root). A line names one package, optionally followed by
# --no-install-recommends where the package's recommendations are large and
# unneeded. A package of another architecture (name:arm64) first makes dpkg
# accept that architecture.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lines=()
for list in "$@"; do
  mapfile -t -O "${#lines[@]}" lines < <(grep -v -E '^\s*(#|$)' "$here/debian-packages-$list.txt")
done
missing=() lean=() update=
for line in "${lines[@]}"; do
  read -r p option <<<"$line"
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' && continue
  if [ "$option" = --no-install-recommends ]; then lean+=("$p"); else missing+=("$p"); fi
  arch=${p#*:}
  if [ "$arch" != "$p" ] && [ "$arch" != "$(dpkg --print-architecture)" ] &&
      ! dpkg --print-foreign-architectures | grep -qxF "$arch"; then
    dpkg --add-architecture "$arch"
  fi
  update=yes
done
if [ -n "$update" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  [ ${#missing[@]} -eq 0 ] || apt-get install -y -qq "${missing[@]}"
  [ ${#lean[@]} -eq 0 ] || apt-get install -y -qq --no-install-recommends "${lean[@]}"
fi
