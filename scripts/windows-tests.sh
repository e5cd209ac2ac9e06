#!/usr/bin/env bash
# Builds the Windows program and tests with MinGW-w64 and runs the tests under
# Wine, in a Wine prefix inside the build folder; then builds the program and
# its zip again in another folder and finds the two zips identical.
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

echo "-- the zip again, from a build in another folder"
zip=wlanreport-$(sed -n 's/^project(wlanreport VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)-win64.zip
first=build/windows/zip-check second=build/windows-again
rm -rf "$second"
{ cmake --preset windows -B "$second" && cmake --build "$second" --target wlanreport &&
    cpack --config "$second/CPackConfig.cmake" -B "$second"; } >"$second.log" 2>&1 ||
  { tail -20 "$second.log"; exit 1; }
if ! cmp -s "$first/$zip" "$second/$zip"; then
  diffoscope --text - "$first/$zip" "$second/$zip" | head -60 || true
  echo "FAIL: two builds of $zip differ (above: where)" >&2
  exit 1
fi
sha256sum "$first/$zip" "$second/$zip"
