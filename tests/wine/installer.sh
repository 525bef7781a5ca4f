#!/usr/bin/env bash
# The installer under Wine, silent: it installs the program folder into a
# folder of the user's with spaces and accents, with its uninstaller (never
# named like the password file unins000.dll); installed again over a folder
# in use it keeps the password set there; the uninstaller removes the
# program and leaves the archives, the settings and the password file.
#   installer.sh SETUP.exe
set -euo pipefail
setup="$1"
work="$(mktemp -d)"
# A prefix of its own: the uninstaller runs on from a copy of itself after it
# returns, and the test waits for every program of the prefix to end.
WINEPREFIX="$work/wine"
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wineboot --init >/dev/null 2>&1
folder="$work/Programmi di prova è/Velmora"
target="$(winepath -w "$folder")"
fail() { echo "$*" >&2; exit 1; }

# The folder as an earlier installation left it in the registry (NSIS reads
# /D= only unquoted, which Wine does not keep for a path with spaces).
wine reg add 'HKCU\Software\Velmora' /v Cartella /d "$target" /f >/dev/null
wine "$setup" /S
wineserver -w
for file in Velmora.exe velmora-batch.exe unins000.dll Guida.pdf qt.conf Qt6Core.dll plugins/platforms/qwindows.dll \
            fonts/DejaVuSans.ttf translations/qtbase_it.qm "Disinstalla Velmora.exe"; do
  [[ -f $folder/$file ]] || fail "the installer did not install $file"
done
ls "$folder" | grep -vx unins000.dll | grep -qi '^unins000' && fail "a file of the installer takes the password file's name"
echo "installed: $(find "$folder" -type f | wc -l) files in \"$target\""

# The folder in use: archives, settings, a password of its own.
printf 'dati' >"$folder/Archivio_Dati.pro"
printf 'pagine' >"$folder/Archivio_Etichette.pro"
printf '[Calibrazione]\r\n' >"$folder/Impostazioni.ini"
printf 'la password cambiata' >"$folder/unins000.dll"
wine "$setup" /S
wineserver -w
[[ $(cat "$folder/unins000.dll") == "la password cambiata" ]] || fail "installing again replaced the password file"
echo "installed again: the password set in the folder is kept"

wine "$folder/Disinstalla Velmora.exe" /S
wineserver -w
for file in Archivio_Dati.pro Archivio_Etichette.pro Impostazioni.ini unins000.dll; do
  [[ -f $folder/$file ]] || fail "the uninstaller removed $file"
done
left="$(cd "$folder" && find . -type f ! -name 'Archivio_*.pro' ! -name Impostazioni.ini ! -name unins000.dll | sort)"
[[ -z $left ]] || fail "the uninstaller left the program's files: $left"
echo "uninstalled: the archives, the settings and the password file are left, nothing else"
