#!/usr/bin/env bash
# Cross-builds Velmora for Windows into build-windows/, whose program folder
# is build-windows/Velmora: the Windows kit (scripts/windows-kit.sh, made or
# reused), and from the Linux build in build/ the files a build makes by
# running its own programs (the pictures' PNGs, the password file, the guide).
#   scripts/windows-build.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kit="$("$root/scripts/windows-kit.sh")"
[[ -f $root/build/CMakeCache.txt ]] || "$root/scripts/build.sh" program
cmake --build "$root/build" -j"$(nproc)" --target Velmora velmora-batch velmora-rasterise

options=()
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$root/build-windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DVELMORA_WINDOWS_KIT="$kit" \
  -DVELMORA_HOST_BUILD="$root/build" -DCMAKE_CROSSCOMPILING_EMULATOR=wine "${options[@]}" >/dev/null
cmake --build "$root/build-windows" -j"$(nproc)"
