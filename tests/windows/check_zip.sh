#!/usr/bin/env bash
# check_zip.sh BUILD_DIR VERSION WINDRES OBJDUMP
# Makes the Windows zip with CPack and checks it: exactly wlanreport.exe,
# README.md and LICENSE; the exe's version resource and manifest; and the exe
# imports the platform's wlanapi.dll, KERNEL32 and msvcrt only; its header asks
# for ASLR with 64-bit entropy and a non-executable stack and heap; the zip's
# entries come in a fixed order with the time of SOURCE_DATE_EPOCH (the last
# commit's when the caller did not set it).
set -euo pipefail
build=$1 version=$2 windres=$3 objdump=$4
work=$build/zip-check
rm -rf "$work"
mkdir -p "$work/unpacked"
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
zip=$work/wlanreport-$version-win64.zip
[ -f "$zip" ] || fail "no $zip: $(ls "$work")"

(cd "$work/unpacked" && cmake -E tar xf "$zip")
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "$0")" log -1 --format=%ct)}
contents=$(python3 -c 'import sys, time, zipfile
t = time.localtime(int(sys.argv[2]))
when = (*t[:5], t[5] // 2 * 2)  # zip times count seconds in twos
for e in zipfile.ZipFile(sys.argv[1]).infolist():
    print(e.filename + ("" if e.date_time == when else f" at {e.date_time}, not {when}"))' "$zip" "$epoch")
[ "$contents" = $'README.md\nLICENSE\nwlanreport.exe' ] || fail "zip holds: $contents"
exe=$work/unpacked/wlanreport.exe

resources=$("$windres" -i "$exe" -O rc)
IFS=. read -r major minor patch <<<"$version"
for line in "FILEVERSION $major, $minor, $patch, 0" "PRODUCTVERSION $major, $minor, $patch, 0" \
    "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\"" \
    "VALUE \"ProductName\", \"wlanreport\"" "VALUE \"FileDescription\"" \
    'level=""asInvoker""' 'supportedOS Id=""{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}""'; do
  grep -qF "$line" <<<"$resources" || fail "resources lack: $line"
done

imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[ "$imports" = "kernel32.dll msvcrt.dll wlanapi.dll " ] || fail "imports: $imports"
characteristics=$("$objdump" -p "$exe" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
  grep -qw "$flag" <<<"$characteristics" || fail "DllCharacteristics lack $flag: $characteristics"
done
echo "zip: $(tr '\n' ' ' <<<"$contents"); version $version; imports: $imports"
