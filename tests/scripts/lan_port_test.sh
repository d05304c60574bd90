#!/usr/bin/env bash
# Port 217 for an ordinary user: with the capability the set-up grants, the
# shipped Tolvane run as "nobody" binds it, in network and process namespaces
# of its own (ports below 1024 kept for the privileged; everything started
# there ends with the namespace).
set -euo pipefail
source_dir=$1
build_program_dir=$2
skip() {
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "running Tolvane as another user in namespaces of its own needs root"
# Bit 10 of the bounding set: without it no executable gains the capability.
(($(printf '%d' "0x$(awk '/^CapBnd/ {print $2}' /proc/self/status)") & 1 << 10)) ||
  skip "cap_net_bind_service is outside this system's bounding set"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
mkdir -p "$tmp/program" "$tmp/home" "$tmp/runtime"
cp -R "$build_program_dir/." "$tmp/program/"
chmod 700 "$tmp/runtime"
chown -R nobody "$tmp/program" "$tmp/home" "$tmp/runtime" # before the grant, which a chown drops
"$source_dir/scripts/grant-lan-port.sh" "$tmp/program/Tolvane" 2>/dev/null &&
  getcap "$tmp/program/Tolvane" | grep -q cap_net_bind_service ||
  skip "the file system of $tmp keeps no capabilities"

unshare --net --pid --fork --mount-proc bash -s "$tmp" "$(id -u nobody)" <<'INNER'
set -euo pipefail
tmp=$1
uid=$2
ip link set lo up
sysctl -qw net.ipv4.ip_unprivileged_port_start=1024
# XDG_DATA_HOME: the bus finds activation files under the home of the password
# entry (nobody's does not exist), Kalvex /REGSERVER writes them under $HOME.
setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
  env -i PATH="$PATH" HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_RUNTIME_DIR="$tmp/runtime" \
  TZ=Asia/Jerusalem LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  dbus-run-session -- sh -c 'cd "$1" && ./Kalvex /REGSERVER && exec ./Tolvane' - "$tmp/program" \
  >"$tmp/out" 2>&1 &
for _ in $(seq 300); do
  socket=$(ss -Hulnpe 'sport = :217')
  [ -n "$socket" ] && break
  sleep 0.1
done
if [[ $socket != *'(("Tolvane",'* || $socket != *" uid:$uid "* ]]; then
  echo "port 217 not bound by the Tolvane of nobody: ${socket:-free}"
  cat "$tmp/out" "$tmp/program/"*.log 2>/dev/null || true
  exit 1
fi
echo "the Tolvane of nobody binds port 217"
INNER
