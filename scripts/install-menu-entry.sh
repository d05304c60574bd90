#!/usr/bin/env bash
# Installs, for the current user, the applications-menu entry "תזכורון ולטרום"
# that starts Tolvane from the given program directory, and its icon (the
# hicolor PNGs the build draws into the program directory's icons/).
# Usage: scripts/install-menu-entry.sh PROGRAM_DIR
set -euo pipefail
PROGRAM_DIR=$(cd "$1" && pwd)
DATA_HOME=${XDG_DATA_HOME:-$HOME/.local/share}
ICON=veltrum-reminder

mkdir -p "$DATA_HOME/applications" "$DATA_HOME/icons"
cp -R "$PROGRAM_DIR/icons/hicolor" "$DATA_HOME/icons/"

# Exec is always quoted: inside the quotes \ " ` $ take a backslash, % is
# doubled, and the entry's own escaping doubles every backslash again.
exec_path=$PROGRAM_DIR/Tolvane
exec_path=${exec_path//\\/\\\\}
exec_path=${exec_path//\"/\\\"}
exec_path=${exec_path//\`/\\\`}
exec_path=${exec_path//\$/\\\$}
exec_path=${exec_path//%/%%}
exec_path=${exec_path//\\/\\\\}

cat > "$DATA_HOME/applications/$ICON.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=תזכורון ולטרום
Comment=תזכורות שקופצות בזמנן, גם כאלה ששלחו עמיתים ברשת
Icon=$ICON
Exec="$exec_path"
Terminal=false
Categories=Office;Calendar;
ENTRY

command -v update-desktop-database >/dev/null &&
  update-desktop-database -q "$DATA_HOME/applications" 2>/dev/null || true
