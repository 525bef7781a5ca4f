#!/usr/bin/env bash
# A page printed by velmora-batch.exe under Wine through Wine's spooler, which
# hands it to a private CUPS scheduler's PostScript printer: every word of the
# label sheet, and of the envelope, within 0.25 mm of where the Linux build's
# PDF puts it, with the printer's calibration applied as on Linux.
#   print.sh LINUX_PROGRAM_FOLDER WINDOWS_PROGRAM_FOLDER
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
linux="$1/velmora-batch" windows="$2/velmora-batch.exe"
work="$(mktemp -d)"
# The scheduler's folder of its own, which its filters (user lp) can reach.
VELMORA_TEST_PRINTER_DIR="$(mktemp -d)"
export VELMORA_TEST_PRINTER_DIR VELMORA_TEST_POSTSCRIPT=1
# Wine learns the printers once per session of its server: a prefix of the
# test's own, started once the scheduler is there.
WINEPREFIX="$work/wine"
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; "$root/scripts/test-printer.sh" stop
      rm -rf "$work" "$VELMORA_TEST_PRINTER_DIR"' EXIT
eval "$("$root/scripts/test-printer.sh" start 2>/dev/null)"
wineboot --init >/dev/null 2>&1
# Wine adds the scheduler's printers to its registry while the prefix starts,
# not always before the first program asks for them: wait until it has.
for _ in $(seq 300); do
  wine reg query 'HKLM\System\CurrentControlSet\Control\Print\Printers\VelmoraPS' >/dev/null 2>&1 && break
  sleep 0.1
done
source "$here/sample-folder.sh"
sample_folder "$work/dati" "$linux" >/dev/null 2>&1
folder="$(winepath -w "$work/dati")"
printed="$VELMORA_TEST_PRINTER_DIR/out.ps"

while read -r name command; do
  # shellcheck disable=SC2086
  "$linux" --folder "$work/dati" --quiet --pdf "$work/$name.pdf" $command
  rm -f "$printed"
  # shellcheck disable=SC2086
  wine "$windows" --folder "$folder" --quiet --printer VelmoraPS $command
  # The job is written out by the scheduler's filters after the program ends.
  for _ in $(seq 300); do
    [[ -s $printed && -z $(lpstat -o VelmoraPS) ]] && break
    sleep 0.1
  done
  [[ -s $printed ]] || { echo "$name: no job reached the printer" >&2; exit 1; }
  echo -n "$name: "
  "$here/printed-words.py" "$work/$name.pdf" "$printed" 0.25
done <<'COMMANDS'
sheet sheet 1
calibrated --calibration 1.5,-0.8,100.4,99.8 sheet 2
envelope envelope 2
COMMANDS
