#!/usr/bin/env bash
# Velmora.exe under Wine on a private X display, from the zip unpacked into
# a folder whose name has spaces, accents and a letter beyond the code page
# (ł): its login window is shown, the first password logs in, the launcher
# opens the data archive, and a record typed there and saved lands in
# Archivio_Dati.pro. Screenshots of each window go to VELMORA_SCREENSHOTS,
# when it names a folder.
#   login.sh Velmora-<version>-windows-x64.zip
set -euo pipefail
work="$(mktemp -d)"
mkdir -p "$work/Cartella di prova è à ł"
unzip -q "$1" -d "$work/Cartella di prova è à ł"
folder="$work/Cartella di prova è à ł/Velmora"
pids=()
trap '{ kill "${pids[@]}"; wait; } 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 1 -screen 0 1600x1000x24 -nolisten tcp 2>/dev/null >"$work/display" &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)

shot() {
  [[ -n ${VELMORA_SCREENSHOTS:-} ]] && import -window root "$VELMORA_SCREENSHOTS/$1.png"
  return 0
}
# Waits for the window of exactly this title; prints its id.
window() {
  # (A search meets windows that go while it looks: it is tried again.)
  local id=""
  for _ in $(seq 600); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)" || true
    [[ -n $id ]] && break
    sleep 0.1
  done
  if [[ -z $id ]]; then
    echo "no window \"$1\" on the display; the program said:" >&2
    cat "$work/velmora.log" >&2
    exit 1
  fi
  echo "$id"
}

(cd "$folder" && exec wine Velmora.exe) >"$work/velmora.log" 2>&1 &
pids+=($!)
login="$(window " Velmora - Riconoscimento")"
echo "the login window \"$(xdotool getwindowname "$login")\" is shown"
shot login
# Wine maps a window in steps: it takes the focus once it is whole.
sleep 1
xdotool windowactivate "$login" 2>/dev/null || true
sleep 0.5
xdotool type --delay 30 riconoscimento
xdotool key Return
window " Velmora" >/dev/null
echo "the first password logs in: the launcher is shown"
sleep 1
shot launcher
# ARCHIVIO DATI, the left tile's button, on the maximised launcher.
xdotool mousemove 590 642 click 1
archive="$(window " Velmora - Archivio Dati")"
echo "the launcher opens the data archive"
sleep 1
for text in "Mario Rossi" "Cliente" "Via Roma 1" "00100 Roma"; do
  xdotool type --delay 30 "$text"
  xdotool key Return
done
xdotool mousemove 328 236 click 1  # Salva
window "Velmora" >/dev/null
shot saved
xdotool key Return
python3 - "$folder/Archivio_Dati.pro" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
if len(data) != 3765:
    sys.exit(f"Archivio_Dati.pro holds {len(data)} bytes, not one record")
fields = [data[i * 251 + 1:i * 251 + 1 + data[i * 251]].decode("cp1252") for i in range(15)]
if fields[:4] != ["Mario Rossi", "Cliente", "Via Roma 1", "00100 Roma"]:
    sys.exit(f"the record saved holds {fields[:4]}")
print("the record typed is saved in Archivio_Dati.pro:", ", ".join(fields[:4]))
PY
xdotool windowclose "$archive" 2>/dev/null || true
