#!/usr/bin/env bash
# Puts Velmora into the user's applications menu: the freedesktop entry
# velmora.desktop, which starts the Velmora that lies beside this script, and
# its icon velmora.svg. The program folder may be anywhere; run the script
# again after moving it. With --remove it takes both away.
set -euo pipefail
folder="$(cd "$(dirname "$0")" && pwd)"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
entry="$data/applications/velmora.desktop"
icon="$data/icons/hicolor/scalable/apps/velmora.svg"
if [[ ${1:-} == --remove ]]; then
  rm -f "$entry" "$icon"
else
  [[ -x $folder/Velmora ]] || { echo "Velmora is not in $folder" >&2; exit 1; }
  mkdir -p "$(dirname "$entry")" "$(dirname "$icon")"
  cp "$folder/velmora.svg" "$icon"
  # The program finds its files beside the executable: the entry starts it by
  # its full path, quoted as the Exec key wants it (\ " ` $ escaped inside the
  # quotes, every \ then doubled as in any string value, % written %%).
  exec_path="$folder/Velmora"
  exec_path="${exec_path//\\/\\\\}"
  exec_path="${exec_path//\"/\\\"}"
  exec_path="${exec_path//\`/\\\`}"
  exec_path="${exec_path//\$/\\\$}"
  exec_path="${exec_path//\\/\\\\}"
  exec_path="${exec_path//%/%%}"
  while IFS= read -r line; do
    if [[ $line == Exec=* ]]; then line="Exec=\"$exec_path\""; fi
    printf '%s\n' "$line"
  done < "$folder/velmora.desktop" > "$entry"
fi
if command -v update-desktop-database >/dev/null; then update-desktop-database -q "$data/applications"; fi
