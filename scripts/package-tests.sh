#!/usr/bin/env bash
# The package suite: builds the Debian package from a copy of the tree under
# build/package (dpkg-buildpackage writes beside the tree it builds), checks it
# with lintian, installs it, runs the installed program and manual page,
# removes it and checks that nothing it installed is left. Installs and
# removes the package on this machine: run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "FAIL: $*" >&2; exit 1; }

# One version: CMake's project() sets it, the package's changelog must agree.
version=$(sed -n 's/^project(wlanreport VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -S Version)
[ -n "$version" ] && [ "$version" = "$changelog_version" ] ||
  fail "CMake says version '$version', debian/changelog says '$changelog_version'"

work=build/package
tree=$work/wlanreport-$version
rm -rf "$work"
mkdir -p "$tree"
git ls-files -z | cpio -pdm0 --quiet "$tree"
echo "-- dpkg-buildpackage (log in $work/build.log)"
(cd "$tree" && dpkg-buildpackage -us -uc -b) >"$work/build.log" 2>&1 ||
  { tail -40 "$work/build.log"; fail "dpkg-buildpackage"; }
deb=$work/wlanreport_${version}_$(dpkg --print-architecture).deb
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb does not carry version $version"

echo "-- lintian"
lintian --display-info "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
if grep -qE '^[EW]: ' "$work/lintian.txt"; then fail "lintian reports errors or warnings"; fi

echo "-- install"
if dpkg-query -W -f='${Status}' wlanreport 2>/dev/null | grep -q installed; then
  dpkg --purge wlanreport >/dev/null
fi
# Paths that exist before the install (shared folders such as /usr/bin) may
# stay after the removal; nothing else the package brought may.
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\.||' -e 's|/$||' | grep .)
existed=()
for path in "${paths[@]}"; do [ -e "$path" ] && existed+=("$path"); done
dpkg -i "$deb"

echo "-- run /usr/bin/wlanreport as root and as nobody"
first_line='^(Asked version to WLAN interface is 2, Negociated version is -?[0-9]+|Error in the WlanOpenHandle\(\) function call)$'
for user in root nobody; do
  status=0
  setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups /usr/bin/wlanreport \
    </dev/null >"$work/report-$user.txt" 2>"$work/report-$user.err" || status=$?
  [ "$status" -eq 0 ] || fail "wlanreport as $user exited with $status"
  [ ! -s "$work/report-$user.err" ] || fail "wlanreport as $user wrote to stderr: $(cat "$work/report-$user.err")"
  head -n 1 "$work/report-$user.txt" | grep -qE "$first_line" ||
    fail "wlanreport as $user began with: $(head -n 1 "$work/report-$user.txt")"
  echo "$user: $(head -n 1 "$work/report-$user.txt")"
done

echo "-- man"
page=$(man -w wlanreport)
[ "$page" = /usr/share/man/man1/wlanreport.1.gz ] || fail "man finds the page at '$page'"
man --warnings -l "$page" >"$work/man.txt" 2>"$work/man.err" || fail "man -l failed"
[ ! -s "$work/man.err" ] || fail "man warns: $(cat "$work/man.err")"
grep -q "wlanreport $version" "$work/man.txt" || fail "the page's footer lacks wlanreport $version"

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
