#!/usr/bin/env bash
# scripts/install-deps.sh against a scripted apt: which failures are the
# registry's (exit 75, the suite is skipped) and which are ours (exit 1).
set -uo pipefail
installer=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# apt-get: `update` answers with the next word of $work/updates (ok or fail),
# `install` as $INSTALL says (ok, locate, fetch); each call is logged.
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "$*" >>"$WORK/calls"
if [ "$1" = update ] || [ "$2" = update ]; then
  read -r answer rest <"$WORK/updates"; echo "$rest" >"$WORK/updates"
  [ "$answer" = ok ] && exit 0
  echo "E: Failed to fetch http://deb.example/Packages  File has unexpected size (1 != 2). Mirror sync in progress?"
  exit 100
fi
case $INSTALL in
  ok) exit 0 ;;
  locate) echo "E: Unable to locate package ${*: -1}"; exit 100 ;;
  fetch) echo "E: Failed to fetch http://deb.example/pool/p.deb  Hash Sum mismatch"; exit 100 ;;
esac
STUB
printf '#!/bin/sh\n[ -n "${INSTALLED:-}" ] && echo "install ok installed"\nexit 0\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\n[ "$1" = --print-architecture ] && echo amd64\nexit 0\n' >"$work/bin/dpkg"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/sleep"
chmod +x "$work/bin/"*

failures=0
# updates (answers of the tries) | install | state file before | expected status |
# expected update calls | list (run when empty) | architectures apt is limited to
while IFS='|' read -r updates install state expected calls list limited; do
  echo "$updates" >"$work/updates"
  : >"$work/calls"
  rm -f "$work/state".*
  [ -z "$state" ] || echo "$state" >"$work/state.amd64"
  status=0
  WORK=$work INSTALL=$install PATH="$work/bin:$PATH" WLANREPORT_APT_STATE=$work/state \
    INSTALLED=$([ "$install" = none ] && echo yes) "$installer" "${list:-run}" >/dev/null 2>&1 || status=$?
  made=$(grep -c update "$work/calls")
  archs=$(grep -o 'APT::Architectures::=[^ ]*' "$work/calls" | sort -u | cut -d= -f2 | tr '\n' ' ')
  want=${limited:-amd64 }
  [ -s "$work/calls" ] || want=
  if [ "$status" != "$expected" ] || [ "$made" != "$calls" ] || [ "$archs" != "$want" ]; then
    echo "FAIL: updates '$updates', install $install, state '$state', list ${list:-run}: status $status (expected $expected), $made updates (expected $calls), architectures '$archs'"
    failures=$((failures + 1))
  fi
done <<'CASES'
ok|ok||0|1
fail fail ok|ok||0|3
fail fail fail|ok||0|3
fail fail fail|locate||75|3
ok|locate||1|1
fail ok|locate||1|2
ok|fetch||75|1
fail fail fail|fetch||75|3
ok|ok|ok|0|0
ok|locate|failed|75|0
ok|none||0|0
ok|ok||0|1|cross-armhf|amd64 armhf 
CASES
[ $failures -eq 0 ] && echo "install-deps: every case as expected"
exit $((failures != 0))
