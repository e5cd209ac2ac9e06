#!/usr/bin/env bash
# cross-tests.sh [ARCH...]: the cross suite, for arm64 and armhf by default.
# For each architecture: the program and its unit, golden and fault-injection
# tests built with Debian's cross compiler (CMake preset cross-ARCH) and run
# under qemu-user (the lab, which needs a kernel, stays native); then the
# Debian package cross-built the Debian way, checked with lintian, for its
# architecture, for Depends computed from the binary, and for the machine its
# program is built for. Says how long each architecture took.
# Each architecture's compiler and libraries are installed just before its
# part runs; an architecture whose packages the registry cannot deliver is
# SKIPPED with apt's error (named in $WLANREPORT_SKIPPED when test.sh runs
# this), and the suite exits 75 when every architecture was skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deb-build.sh

archs=("$@")
[ ${#archs[@]} -ne 0 ] || archs=(arm64 armhf)
ran=0
for arch in "${archs[@]}"; do
  case $arch in
    arm64) machine='ARM aarch64' ;;
    armhf) machine='ARM, EABI5' ;;
    *) fail "no cross build for $arch" ;;
  esac
  status=0
  scripts/install-deps.sh "cross-$arch" || status=$?
  if [ $status -eq 75 ]; then
    echo "== SKIPPED cross $arch: its packages could not be installed, the package registry failed (above: apt's error)"
    [ -z "${WLANREPORT_SKIPPED:-}" ] || echo "cross-$arch" >>"$WLANREPORT_SKIPPED"
    continue
  fi
  [ $status -eq 0 ] || fail "installing the $arch packages failed (above: apt's error)"
  ran=$((ran + 1))
  start=$SECONDS
  echo "-- $arch: build and tests under qemu-user"
  cmake --preset "cross-$arch" >/dev/null
  cmake --build --preset "cross-$arch"
  ctest --preset "cross-$arch"
  tests=$((SECONDS - start))

  work=build/package-$arch
  rm -rf "$work"
  build_deb "$work" -a "$arch" -Pcross,nocheck
  deb=$work/wlanreport_${version}_$arch.deb
  [ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "$deb: Architecture $(dpkg-deb -f "$deb" Architecture)"
  # dpkg-shlibdeps names the libraries the program links, as on amd64.
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in libc6 libmnl0 libstdc++6 libsystemd0 libuuid1; do
    [[ ", $depends" == *", $library "* ]] || fail "$deb: Depends lacks $library: $depends"
  done
  lintian_clean "$deb"
  dpkg-deb -x "$deb" "$work/unpacked"
  program=$(file -b "$work/unpacked/usr/bin/wlanreport")
  grep -qF "$machine" <<<"$program" || fail "$deb: the program is $program"
  echo "$arch: Depends: $depends"
  echo "$arch: $program"
  echo "-- $arch: build and tests $tests s, package $((SECONDS - start - tests)) s"
done
[ $ran -ne 0 ] || exit 75
