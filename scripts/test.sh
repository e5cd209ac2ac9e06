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
# Installs what it needs first (as root). Every suite runs even when an earlier
# one fails; the exit status says whether all passed.
set -uo pipefail
cd "$(dirname "$0")/.."

suites=("$@")
[ ${#suites[@]} -ne 0 ] || suites=(native sanitize windows package cross analyse)
lists=(run test)
[[ " ${suites[*]} " != *" cross "* ]] || lists+=(cross)
scripts/install-deps.sh "${lists[@]}" || exit 1

failed=()
suite() {
  local name=$1
  shift
  echo "== $name"
  if ! "$@"; then failed+=("$name"); fi
}

build_and_test() {
  local preset=$1
  cmake --preset "$preset" && cmake --build --preset "$preset" && ctest --preset "$preset"
}

for name in "${suites[@]}"; do
  case $name in
    native | sanitize) suite "$name" build_and_test "$name" ;;
    windows) suite windows scripts/windows-tests.sh ;;
    package) suite package scripts/package-tests.sh ;;
    cross) suite cross scripts/cross-tests.sh ;;
    analyse) suite analyse scripts/analyse.sh ;;
    *) echo "unknown suite $name"; failed+=("$name") ;;
  esac
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "== failed suites: ${failed[*]}"
  exit 1
fi
echo "== all suites passed"
