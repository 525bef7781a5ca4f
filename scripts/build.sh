#!/usr/bin/env bash
# Configures and builds into build/; the program folder is build/Velmora.
#   scripts/build.sh program   # the program and velmora-batch only
#   scripts/build.sh all       # everything, tests and benchmarks included
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
case "${1:-all}" in
  program) options=(-DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF); targets=(--target Velmora velmora-batch) ;;
  all) options=(-DVELMORA_TESTS=ON -DVELMORA_BENCH=ON); targets=() ;;
  *) sed -n '2,4p' "$0"; exit 2 ;;
esac
# ccache, when the machine has it, makes a rebuild of unchanged sources cheap.
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$root/build" -j"$(nproc)" "${targets[@]}"
