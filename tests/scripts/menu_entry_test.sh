#!/usr/bin/env bash
# The applications-menu entry that set-up installs: a valid desktop entry that
# starts Tolvane from its program directory (a name with a blank), with the
# icon in the user's hicolor theme.
set -euo pipefail
source_dir=$1
build_program_dir=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
program="$tmp/prog dir"
mkdir -p "$program"
cp -R "$build_program_dir/icons" "$program/"

XDG_DATA_HOME="$tmp/data" "$source_dir/scripts/install-menu-entry.sh" "$program"

entry="$tmp/data/applications/veltrum-reminder.desktop"
desktop-file-validate "$entry"
grep -qx 'Name=תזכורון ולטרום' "$entry"
grep -qx "Exec=\"$program/Tolvane\"" "$entry"
grep -qx 'Icon=veltrum-reminder' "$entry"
for size in 16 48; do
  test -s "$tmp/data/icons/hicolor/${size}x${size}/apps/veltrum-reminder.png"
done
echo "menu entry ok"
