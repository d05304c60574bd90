#!/usr/bin/env bash
# Lets the Tolvane given bind the LAN port 217 (below 1024) whoever runs it:
# the capability cap_net_bind_service on the executable. Copying or rebuilding
# the file drops it. Fails when it cannot be granted.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo -n"
$SUDO setcap cap_net_bind_service=+ep "$1"
