#!/usr/bin/env bash
# Puts Velmora into the user's applications menu: its freedesktop entry, which
# starts the program folder that scripts/build.sh laid out in build/Velmora,
# and its icon. Run it again after moving the repository; with --remove it
# takes both away.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
entry="$data/applications/velmora.desktop"
icon="$data/icons/hicolor/scalable/apps/velmora.svg"
if [[ ${1:-} == --remove ]]; then
  rm -f "$entry" "$icon"
else
  program="$root/build/Velmora/Velmora"
  [[ -x $program ]] || { echo "Build the program first: scripts/build.sh program" >&2; exit 1; }
  mkdir -p "$(dirname "$entry")" "$(dirname "$icon")"
  cp "$root/images/velmora.svg" "$icon"
  # The program finds its files beside the executable: start it by its full path.
  sed -e "s|^Exec=.*|Exec=\"$program\"|" "$root/desktop/velmora.desktop" > "$entry"
fi
if command -v update-desktop-database >/dev/null; then update-desktop-database -q "$data/applications"; fi
