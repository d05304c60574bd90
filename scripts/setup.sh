#!/usr/bin/env bash
# One command for a new machine: installs what is missing, builds the
# programs alone (no tests, no benchmarks: scripts/test.sh builds those),
# adds the applications-menu entry and starts the tray monitor Tolvane from
# the program directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --programs
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DKV_BENCHMARKS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target programs
PROGRAM_DIR="$PWD/build/program"

# The LAN receiver listens on port 217 by default, below 1024.
scripts/grant-lan-port.sh "$PROGRAM_DIR/Tolvane" 2>/dev/null ||
  echo "note: could not grant Tolvane the right to bind port 217; choose a port above 1024 in the options"

# The applications-menu entry "תזכורון ולטרום" for this user.
scripts/install-menu-entry.sh "$PROGRAM_DIR"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  echo "Built in $PROGRAM_DIR. Start $PROGRAM_DIR/Tolvane from a desktop session (it needs a display and a D-Bus session bus)."
  exit 0
fi
"$PROGRAM_DIR/Kalvex" /REGSERVER || true
nohup "$PROGRAM_DIR/Tolvane" >/dev/null 2>&1 &
echo "Tolvane started from $PROGRAM_DIR"
