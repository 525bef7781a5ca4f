#!/usr/bin/env bash
# Puts the program folder that scripts/build.sh laid out in build/Velmora into
# the user's applications menu, through the folder's own install-desktop.sh;
# run it again after moving the repository. With --remove it takes the entry
# away again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder="$root/build/Velmora"
[[ -x $folder/install-desktop.sh ]] || { echo "Build the program first: scripts/build.sh program" >&2; exit 1; }
exec "$folder/install-desktop.sh" "$@"
