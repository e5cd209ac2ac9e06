# Sourced by the package and cross suites: builds the Debian package from a
# copy of the tree and checks it with lintian.

fail() { echo "FAIL: $*" >&2; exit 1; }

# The one version: CMake's project() sets it, the package's changelog must agree.
version=$(sed -n 's/^project(wlanreport VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -S Version)
[ -n "$version" ] && [ "$version" = "$changelog_version" ] ||
  fail "CMake says version '$version', debian/changelog says '$changelog_version'"

# build_deb DIR [DPKG-BUILDPACKAGE OPTION...]: builds from a copy of the tree
# in DIR/wlanreport-VERSION (dpkg-buildpackage writes beside the tree it
# builds); the .deb lands in DIR, the log in DIR/build.log.
build_deb() {
  local dir=$1
  shift
  mkdir -p "$dir/wlanreport-$version"
  git ls-files -z | cpio -pdm0 --quiet "$dir/wlanreport-$version"
  echo "-- dpkg-buildpackage $* in $dir (log in $dir/build.log)"
  (cd "$dir/wlanreport-$version" && dpkg-buildpackage -us -uc -b "$@") >"$dir/build.log" 2>&1 ||
    { tail -40 "$dir/build.log"; fail "dpkg-buildpackage $*"; }
}

# lintian_clean DEB: no error and no warning.
lintian_clean() {
  echo "-- lintian $1"
  lintian --display-info "$1" >"$1.lintian" 2>&1 || true
  cat "$1.lintian"
  if grep -qE '^[EW]: ' "$1.lintian"; then fail "lintian reports errors or warnings on $1"; fi
}
