#!/usr/bin/env bash
# Makes the README's pictures in docs/readme/ anew from the program as built:
# the guide's own tool takes them on the guide's sample records, as it takes
# the guide's pictures. The test suite fails while they differ from what the
# program draws.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" test   # poppler-utils draws the printed page
"$root/scripts/build.sh" program
"$root/build/bin/velmora-guida" --readme "$root/docs/readme"
ls -l "$root/docs/readme"
