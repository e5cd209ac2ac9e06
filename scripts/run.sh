#!/usr/bin/env bash
# Builds the report program for this machine and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
cmake --preset native >&2
cmake --build --preset native --target wlanreport >&2
exec build/native/src/wlanreport
