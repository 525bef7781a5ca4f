#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program folder and starts Velmora from it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" run
"$root/scripts/build.sh" program
cd "$root/build/Velmora"
exec ./Velmora "$@"
