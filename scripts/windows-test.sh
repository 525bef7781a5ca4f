#!/usr/bin/env bash
# The Windows build judged by Wine: cross-builds it and makes the zip and the
# installer (scripts/windows-package.sh, the kit made or reused), and runs its
# tests in a Wine prefix of their own.
# Needs the Linux build in build/, whose programs the Windows ones are held to.
#   scripts/windows-test.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/windows-package.sh"
WINEPREFIX="$(mktemp -d)"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot --init >/dev/null 2>&1
wineserver -w  # the prefix is whole once its first server ends
ctest --test-dir "$root/build-windows" --output-on-failure -j2
