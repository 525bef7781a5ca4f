#!/usr/bin/env bash
# velmora-batch.exe under Wine against the Linux velmora-batch. The import of
# a CSV file writes the same archive byte for byte; the export of it is the
# same file, and LibreOffice Calc reads the CSV file's rows from it. The same
# archives printed to PDF by both, as sheets, records, envelopes, a summary
# and the calibration sheet, on systems in Italian (the summary writes the
# time in the system's own format): each Windows PDF is checked whole by qpdf,
# holds every word within 0.01 mm of the Linux one, and is the same file byte
# for byte but for the moment it was made.
#   batch.sh LINUX_PROGRAM_FOLDER WINDOWS_PROGRAM_FOLDER
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
linux="$1/velmora-batch" windows="$2/velmora-batch.exe"
work="$(mktemp -d)"
# Wine keeps the user's locale in its prefix, as Windows does, and takes a
# new one from the environment of any program it starts: a prefix of the
# test's own, every program of it started in Italian.
WINEPREFIX="$work/wine"
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
italian=(env LC_ALL=it_IT.UTF-8)
"${italian[@]}" wineboot --init >/dev/null 2>&1
wineserver -w
windows_path() { "${italian[@]}" winepath -w "$1"; }
source "$here/sample-folder.sh"
sample_folder "$work/dati" "$linux" >/dev/null 2>&1
folder="$(windows_path "$work/dati")"

csv="$here/../support/indirizzi.csv"
mkdir "$work/imported"
"${italian[@]}" wine "$windows" --folder "$(windows_path "$work/imported")" import "$(windows_path "$csv")" >/dev/null
cmp "$work/dati/Archivio_Dati.pro" "$work/imported/Archivio_Dati.pro"
echo "import: the Linux build's archive, byte for byte"
"$linux" --folder "$work/dati" export "$work/linux.xls"
"${italian[@]}" wine "$windows" --folder "$folder" export "$(windows_path "$work/windows.xls")"
cmp "$work/linux.xls" "$work/windows.xls"
# Calc with a profile of its own: comma, double quote, UTF-8, every cell a text.
soffice "-env:UserInstallation=file://$work/office" --headless \
  --convert-to "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true" --outdir "$work/calc" "$work/windows.xls" >/dev/null 2>&1
python3 - "$csv" "$work/calc/windows.csv" <<'PY'
import csv, sys
rows = lambda path, encoding: list(csv.reader(open(path, encoding=encoding, newline="")))[1:]
expected, calc = rows(sys.argv[1], "utf-8"), rows(sys.argv[2], "utf-8")
if calc != expected:
    sys.exit(f"Calc reads the export as\n{calc}\nthe CSV file holds\n{expected}")
print(f"export: the Linux build's file byte for byte; Calc reads its {len(calc)} rows as the CSV file has them")
PY

while read -r name command; do
  # shellcheck disable=SC2086
  "${italian[@]}" "$linux" --folder "$work/dati" --quiet --pdf "$work/linux-$name.pdf" $command
  # shellcheck disable=SC2086
  "${italian[@]}" wine "$windows" --folder "$folder" --quiet --pdf "$(windows_path "$work/windows-$name.pdf")" $command
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
