#!/usr/bin/env bash
# install-deps.sh LIST...: installs the Debian packages of the named lists
# (scripts/debian-packages-LIST.txt, e.g. "run" or "run native") that are
# missing (as root). A line names one package, optionally followed by
# --no-install-recommends where the package's recommendations are large and
# unneeded. A package of another architecture (name:arm64) first makes dpkg
# accept that architecture.
#
# The package registry has ordinary bad days: a mirror in the middle of a sync,
# one architecture's index that does not match its Release file. So the
# package lists are fetched again a few times when that fails, and the install
# is then tried with whatever was fetched: most failures touch indexes the
# packages do not need.
#
# Exit status: 0 installed (or nothing was missing); 75 the registry failed
# (an index or a package could not be fetched, or the packages cannot be found
# in the indexes that were fetched after another failed): the apt error is
# printed; 1 any other failure, ours (a package that does not exist while every
# index was fetched, a conflict between our packages).
#
# apt fetches and reads only the indexes of this machine's architecture and of
# the packages asked for, whatever other architectures dpkg knows: a broken
# armhf index must not hold back the arm64 one (apt keeps or drops the indexes
# of one archive together) nor stand in the way of a suite that needs neither.
#
# WLANREPORT_APT_STATE names a file that remembers, across the calls of one
# test run, that the lists were fetched and how that went, so that each
# suite's install does not fetch them again. WLANREPORT_APT_PAUSE is the pause
# in seconds between two tries (default 15).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=${WLANREPORT_APT_STATE:-}
pause=${WLANREPORT_APT_PAUSE:-15}
tries=3

lines=()
for list in "$@"; do
  mapfile -t -O "${#lines[@]}" lines < <(grep -v -E '^\s*(#|$)' "$here/debian-packages-$list.txt")
done
native=$(dpkg --print-architecture)
missing=() lean=() new_arch=
archs=("$native")
for line in "${lines[@]}"; do
  read -r p option <<<"$line"
  arch=${p#*:}
  [ "$arch" = "$p" ] || [[ " ${archs[*]} " == *" $arch "* ]] || archs+=("$arch")
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' && continue
  if [ "$option" = --no-install-recommends ]; then lean+=("$p"); else missing+=("$p"); fi
  if [ "$arch" != "$p" ] && [ "$arch" != "$native" ] &&
      ! dpkg --print-foreign-architectures | grep -qxF "$arch"; then
    dpkg --add-architecture "$arch"
    new_arch=yes
  fi
done
[ ${#missing[@]} -ne 0 ] || [ ${#lean[@]} -ne 0 ] || exit 0

export DEBIAN_FRONTEND=noninteractive
apt_archs=()
for arch in "${archs[@]}"; do apt_archs+=(-o "APT::Architectures::=$arch"); done
# What was fetched for one set of architectures says nothing of another.
[ -z "$state" ] || state=$state.$(IFS=-; echo "${archs[*]}")
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# The apt errors of a log: the lines that say what failed.
apt_errors() { grep -E '^(E|W): ' "$1" | grep -v -E '^W: (--force-yes|Target )' || true; }

# Fetches the package lists, up to $tries times; what the last try could not
# fetch is left in $state (or printed) and the install goes on regardless.
update_failed=
if [ -z "$new_arch" ] && [ -n "$state" ] && [ -s "$state" ]; then
  [ "$(head -n 1 "$state")" = ok ] || update_failed=yes
else
  for try in $(seq "$tries"); do
    if apt-get update -qq "${apt_archs[@]}" >"$log" 2>&1 && ! grep -q '^E: ' "$log"; then
      update_failed=
      break
    fi
    update_failed=yes
    echo "install-deps: apt-get update failed (try $try of $tries):" >&2
    apt_errors "$log" | sed 's/^/  /' >&2
    [ "$try" -eq "$tries" ] || sleep "$pause"
  done
  if [ -n "$state" ]; then
    if [ -n "$update_failed" ]; then { echo failed; apt_errors "$log"; } >"$state"; else echo ok >"$state"; fi
  fi
  [ -z "$update_failed" ] || echo "install-deps: installing with the package lists that were fetched" >&2
fi

# Whether a failed install is the registry's doing rather than ours.
registry_failure() {
  grep -q -E 'Failed to fetch|Unable to fetch some archives|Hash Sum mismatch|File has unexpected size|Temporary failure resolving|Could not connect|Connection failed|Mirror sync in progress' "$1" && return 0
  [ -n "$update_failed" ] &&
    grep -q -E 'Unable to locate package|has no installation candidate|unmet dependencies|Version .* was not found|Unable to correct problems' "$1"
}

install() {
  if apt-get install -y -qq "${apt_archs[@]}" "$@" >"$log" 2>&1; then
    grep -v -E '^(Selecting|Preparing|Unpacking|Setting up|Processing|\(Reading)' "$log" >&2 || true
    return 0
  fi
  cat "$log" >&2
  if registry_failure "$log"; then
    echo "install-deps: the package registry failed; these packages could not be installed: ${*#--no-install-recommends}" >&2
    if [ -n "$state" ] && [ "$(head -n 1 "$state")" != ok ]; then
      echo "install-deps: the package lists that could not be fetched:" >&2
      tail -n +2 "$state" | sed 's/^/  /' >&2
    fi
    exit 75
  fi
  echo "install-deps: apt-get install failed: $*" >&2
  exit 1
}
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
[ ${#lean[@]} -eq 0 ] || install --no-install-recommends "${lean[@]}"
