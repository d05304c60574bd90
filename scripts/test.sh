#!/usr/bin/env bash
# One command for the whole test suite: installs what is missing, builds,
# and runs every test. End-to-end tests start their own private D-Bus, X
# server, tray host and network namespaces.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
ctest --output-on-failure --parallel 2 --timeout 600 "$@"
