#!/usr/bin/env bash
# Cross-builds the smoke programs (Qt Widgets, googletest, HarfBuzz and libcsv)
# against the Windows kit and runs them under Wine in a throwaway prefix; the
# PDF the Widgets program printed is read back with poppler's pdftotext.
#   tools/windows-smoke/run.sh [build folder]   # default: a temporary folder
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
kit="$("$root/scripts/windows-kit.sh")"
build="${1:-}"
tmp="$(mktemp -d)"
trap 'WINEPREFIX="$tmp/wine" wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
[[ -n $build ]] || build="$tmp/build"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DVELMORA_WINDOWS_KIT="$kit" \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build "$build"

# Wine: its own prefix, quiet, without the Mono and Gecko installers.
export WINEPREFIX="$tmp/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure -V
pdftotext "$build/folder/smoke.pdf" - | grep -F "Stampa delle etichette: più di una pagina"
