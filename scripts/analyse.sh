#!/usr/bin/env bash
# scripts/analyse.sh: static analysis of src/; any finding fails it.
#
# - clang-tidy (Debian 12's clang-tidy 14) with the checks of .clang-tidy over
#   every source of the program in a native configuration's
#   compile_commands.json: the portable code and the Linux layer.
# - cppcheck (2.10) over the same sources, by the same compile commands.
#
# - Both again over the portable sources as Windows builds them (clang-tidy
#   with MinGW-w64's target and headers; cppcheck with _WIN32 defined), so the
#   _WIN32 branches are read too. The resource script and the manifest are
#   checked by the windows suite.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/analyse
cmake --preset native -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DWLANREPORT_TESTS=OFF >/dev/null

status=0
echo "-- clang-tidy"
# run-clang-tidy fails when any file has a finding (WarningsAsErrors: '*').
run-clang-tidy -quiet -j 2 -p "$build" "$PWD/src/" >"$build/clang-tidy.log" 2>&1 || status=1
grep -E '(warning|error):' "$build/clang-tidy.log" | sed $'s/\x1b\\[[0-9;]*m//g' | sort -u || true

echo "-- cppcheck"
cppcheck=(cppcheck --std=c++20 --enable=warning,performance,portability --inline-suppr --error-exitcode=1
  --quiet -j 2)
"${cppcheck[@]}" --project="$build/compile_commands.json" || status=1

echo "-- the portable sources as Windows builds them"
portable=("$PWD"/src/main.cpp "$PWD"/src/output/*.cpp "$PWD"/src/report/*.cpp)
mingw=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -n 1)
printf '%s\n' "${portable[@]}" | xargs -P 2 -I{} clang-tidy -quiet {} -- --target=x86_64-w64-mingw32 \
  -std=c++20 -I"$PWD/src" -isystem "$mingw" -isystem "$mingw/x86_64-w64-mingw32" >"$build/clang-tidy-windows.log" 2>&1 ||
  status=1
grep -E '(warning|error):' "$build/clang-tidy-windows.log" | sed $'s/\x1b\\[[0-9;]*m//g' | sort -u || true
"${cppcheck[@]}" -D_WIN32 -I"$PWD/src" "${portable[@]}" || status=1

if [ $status -ne 0 ]; then
  echo "-- findings above (clang-tidy's whole output: $build/clang-tidy.log)"
else
  echo "-- no findings"
fi
exit $status
