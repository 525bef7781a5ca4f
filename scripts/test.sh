#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh" all
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
# The Windows build, cross-built against the kit (made on the first run, then
# reused) and judged by Wine.
"$root/scripts/windows-test.sh"
