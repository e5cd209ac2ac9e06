#!/usr/bin/env bash
# scripts/test.sh [SUITE...]: runs the test suites, all of them by default:
#   native    GCC build, unit and golden tests, the simulated-radio lab
#   sanitize  clang with AddressSanitizer and UndefinedBehaviorSanitizer, short fuzz runs
#   windows   MinGW-w64 build under Wine: the tests, the real program end to end, the zip
#   package   the Debian package built twice and compared, checked with lintian and
#             hardening-check, tested installed with autopkgtest, removed
#   cross     arm64 and armhf: the tests built with cross compilers and run under
#             qemu-user, the packages cross-built and checked with lintian
#   analyse   clang-tidy and cppcheck over src/, failing on any finding
# Each suite first installs what it needs (as root: scripts/debian-packages-run.txt
# and scripts/debian-packages-SUITE.txt). A suite whose packages cannot be
# installed because the package registry failed is SKIPPED, with apt's error;
# any other failure, the install's included, fails it. Every suite runs
# whatever happens to another; the exit status is 0 when none failed.
set -uo pipefail
cd "$(dirname "$0")/.."

suites=("$@")
[ ${#suites[@]} -ne 0 ] || suites=(native sanitize windows package cross analyse)

# The package lists are fetched once for the whole run (again only when the
# cross suite adds its architectures).
WLANREPORT_APT_STATE=$(mktemp)
# Parts of a suite that were skipped (the cross suite's architectures).
WLANREPORT_SKIPPED=$(mktemp)
export WLANREPORT_APT_STATE WLANREPORT_SKIPPED
trap 'rm -f "$WLANREPORT_APT_STATE"* "$WLANREPORT_SKIPPED"' EXIT

passed=() failed=() skipped=()
build_and_test() {
  local preset=$1
  cmake --preset "$preset" && cmake --build --preset "$preset" && ctest --preset "$preset"
}
run_suite() {
  case $1 in
    native | sanitize) build_and_test "$1" ;;
    windows) scripts/windows-tests.sh ;;
    package) scripts/package-tests.sh ;;
    cross) scripts/cross-tests.sh ;;
    analyse) scripts/analyse.sh ;;
  esac
}

for name in "${suites[@]}"; do
  echo "== $name"
  if [ ! -f "scripts/debian-packages-$name.txt" ]; then
    echo "unknown suite $name"
    failed+=("$name")
    continue
  fi
  start=$SECONDS
  status=0
  scripts/install-deps.sh run "$name" || status=$?
  if [ $status -eq 75 ]; then
    echo "== SKIPPED $name: its packages could not be installed, the package registry failed (above: apt's error)"
    skipped+=("$name")
    continue
  elif [ $status -ne 0 ]; then
    echo "== FAILED $name: installing its packages failed (above: apt's error)"
    failed+=("$name")
    continue
  fi
  status=0
  run_suite "$name" || status=$?
  case $status in
    0) passed+=("$name"); result=passed ;;
    75) skipped+=("$name"); result="SKIPPED (the package registry failed)" ;;
    *) failed+=("$name"); result=FAILED ;;
  esac
  echo "== $name $result in $((SECONDS - start)) s"
done

echo "== passed: ${passed[*]:-none}"
echo "== failed: ${failed[*]:-none}"
mapfile -t parts <"$WLANREPORT_SKIPPED"
[ ${#parts[@]} -eq 0 ] || echo "== parts skipped (the package registry failed): ${parts[*]}"
echo "== skipped (the package registry failed): ${skipped[*]:-none}"
echo "suites: ${#passed[@]} passed, ${#failed[@]} failed, ${#skipped[@]} skipped"
[ ${#failed[@]} -eq 0 ]
