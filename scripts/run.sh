#!/usr/bin/env bash
# Builds the report program for this machine and runs it. Installs only what
# building and running need (as root); scripts/test.sh installs the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run >&2
cmake --preset release >&2
cmake --build --preset release >&2
exec build/release/src/wlanreport
