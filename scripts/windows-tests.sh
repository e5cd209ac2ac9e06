#!/usr/bin/env bash
# Builds the Windows program and tests with MinGW-w64 and runs the tests under
# Wine, in a Wine prefix inside the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows
cmake --build --preset windows

export WINEPREFIX="$PWD/build/windows/wineprefix" WINEDEBUG=-all
# Wine's helper processes must not inherit CTest's pipes, or CTest waits for
# them: start the server and the prefix first, detached from every stream.
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
ctest --preset windows
