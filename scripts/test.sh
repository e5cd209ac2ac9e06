#!/usr/bin/env bash
# Runs every test: the native suite (GCC, with the simulated-radio lab), the
# sanitizer suite (clang with AddressSanitizer and UndefinedBehaviorSanitizer,
# with short fuzz runs) and the Windows suite (MinGW-w64 build under Wine).
# Installs what it needs first (as root). Every suite runs even when an earlier
# one fails; the exit status says whether all passed.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || exit 1

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

suite native build_and_test native
suite sanitize build_and_test sanitize
suite windows scripts/windows-tests.sh

if [ ${#failed[@]} -ne 0 ]; then
  echo "== failed suites: ${failed[*]}"
  exit 1
fi
echo "== all suites passed"
