#!/usr/bin/env bash
# The package suite: builds the Debian package twice, from copies of the tree
# in two folders under build/package (dpkg-buildpackage writes beside the tree
# it builds), and finds the two identical; checks it with lintian and
# hardening-check; runs its autopkgtest (which installs it, runs the installed
# program as root and as nobody and renders the manual page); removes it and
# checks that nothing it installed is left. Installs and removes the package
# on this machine: run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deb-build.sh

work=build/package
rm -rf "$work"
# Each build in its own folder, one after the other: neither the folder nor the
# time may reach the package (dpkg-buildpackage takes SOURCE_DATE_EPOCH from
# debian/changelog).
for copy in first second; do build_deb "$work/$copy"; done
name=wlanreport_${version}_$(dpkg --print-architecture).deb
deb=$work/first/$name
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb does not carry version $version"

echo "-- reproducible"
if ! cmp -s "$deb" "$work/second/$name"; then
  diffoscope --text - "$deb" "$work/second/$name" | head -60 || true
  fail "two builds of $name differ (above: where)"
fi
sha256sum "$deb" "$work/second/$name"

lintian_clean "$deb"

echo "-- hardening-check"
mkdir "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked"
# PIE, stack protector, FORTIFY, full RELRO and BIND_NOW: what Debian 12's
# hardening=+all gives. Its dpkg sets no -fcf-protection, so that one is not asked.
hardening-check --nocfprotection "$work/unpacked/usr/bin/wlanreport" || fail "hardening-check"

# Paths that exist before the install (shared folders such as /usr/bin) may
# stay after the removal; nothing else the package brought may.
if dpkg-query -W -f='${Status}' wlanreport 2>/dev/null | grep -q installed; then
  dpkg --purge wlanreport >/dev/null
fi
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\.||' -e 's|/$||' | grep .)
existed=()
for path in "${paths[@]}"; do [ -e "$path" ] && existed+=("$path"); done

echo "-- autopkgtest (log in $work/autopkgtest.log)"
status=0
autopkgtest --output-dir "$work/autopkgtest" "$deb" "$work/first/wlanreport-$version" -- null \
  >"$work/autopkgtest.log" 2>&1 || status=$?
cat "$work/autopkgtest/summary" 2>/dev/null || tail -20 "$work/autopkgtest.log"
# autopkgtest refreshes apt's lists as it cleans up, after the tests: when only
# that failed (the package registry's doing), the tests' verdicts stand.
summary=$work/autopkgtest/summary
if [ "$status" -eq 20 ] && [ -s "$summary" ] && ! grep -qvE '^[^ ]+ +(PASS|SKIP)' "$summary" &&
    grep -q 'ERROR: autopkgtest$' "$work/autopkgtest.log" &&
    grep -q 'error cleaning up' "$work/autopkgtest.log" &&
    grep -qE 'apt-get( --quiet)? update.*failed with status' "$work/autopkgtest.log"; then
  echo "-- every test passed; autopkgtest could not refresh apt's package lists while cleaning up (the package registry failed):"
  grep -E '^E: ' "$work/autopkgtest.log" | sort -u
  status=0
fi
[ "$status" -eq 0 ] || fail "autopkgtest exited with $status"

echo "-- remove"
dpkg --purge wlanreport
left=()
for path in "${paths[@]}"; do
  [ -e "$path" ] || continue
  printf '%s\n' "${existed[@]}" | grep -qxF "$path" || left+=("$path")
done
shopt -s nullglob
left+=(/var/lib/dpkg/info/wlanreport.*)
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
echo "-- package suite passed: $deb"
