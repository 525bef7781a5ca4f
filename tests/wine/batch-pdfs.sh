#!/usr/bin/env bash
# velmora-batch.exe under Wine against the Linux velmora-batch: the same
# archives printed to PDF by both, as sheets, records, envelopes, a summary
# and the calibration sheet, on systems in Italian (the summary writes the
# time in the system's own format). Each Windows PDF is checked whole by qpdf,
# holds every word within 0.01 mm of the Linux one, and is the same file byte
# for byte but for the moment it was made.
#   batch-pdfs.sh LINUX_PROGRAM_FOLDER WINDOWS_PROGRAM_FOLDER
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
linux="$1/velmora-batch" windows="$2/velmora-batch.exe"
work="$(mktemp -d)"
# Wine keeps the user's locale in its prefix, as Windows does: a prefix of
# the test's own, made in Italian.
WINEPREFIX="$work/wine"
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
italian=(env LC_ALL=it_IT.UTF-8)
"${italian[@]}" wineboot --init >/dev/null 2>&1
source "$here/sample-folder.sh"
sample_folder "$work/dati" "$linux" >/dev/null 2>&1
folder="$(winepath -w "$work/dati")"
while read -r name command; do
  # shellcheck disable=SC2086
  "${italian[@]}" "$linux" --folder "$work/dati" --quiet --pdf "$work/linux-$name.pdf" $command
  # shellcheck disable=SC2086
  "${italian[@]}" wine "$windows" --folder "$folder" --quiet --pdf "$(winepath -w "$work/windows-$name.pdf")" $command
  qpdf --check "$work/windows-$name.pdf" >/dev/null
  "$here/../../scripts/same-words.py" "$name" "$work/linux-$name.pdf" "$work/windows-$name.pdf" 0.01
  [[ $name == summary ]] && continue  # its text holds the time
  python3 - "$work/linux-$name.pdf" "$work/windows-$name.pdf" <<'PY'
import re, sys
made = re.compile(rb"/CreationDate \(D:\d{14}Z\)")
linux, windows = (made.sub(b"/CreationDate (D:00000000000000Z)", open(f, "rb").read()) for f in sys.argv[1:])
if linux != windows:
    at = next(i for i, (a, b) in enumerate(zip(linux, windows)) if a != b) if len(linux) == len(windows) else None
    sys.exit(f"{sys.argv[2]}: not the Linux build's file ({len(windows)} bytes, {len(linux)} expected; first difference at {at})")
print(f"  the same {len(linux)} bytes as the Linux build's")
PY
done <<'COMMANDS'
sheet sheet all
record record all
envelope envelope 1-3
summary summary
calibrazione --calibration 1.5,-0.8,100.4,99.8 calibrazione
COMMANDS
