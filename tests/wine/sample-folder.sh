# Sourced by the Wine checks: sample_folder DIR LINUX_BATCH fills DIR with a
# data archive of addresses (tests/support/indirizzi.csv: accents, quotes,
# commas inside a field; imported by the Linux velmora-batch) and a label
# archive of two pages, written record by record as the program stores them
# (168 texts of a length byte and Windows-1252 letters).
sample_folder() {
  local folder="$1" batch="$2"
  mkdir -p "$folder"
  "$batch" --folder "$folder" --quiet import "$(dirname "${BASH_SOURCE[0]}")/../support/indirizzi.csv"
  python3 - "$folder/Archivio_Etichette.pro" <<'PY'
import sys
def text(s):
    b = s.encode("cp1252")
    return bytes([len(b)]) + b + bytes(250 - len(b))
with open(sys.argv[1], "wb") as f:
    for page in range(2):
        names = [text(f"Etichetta {slot}") for slot in range(1, 25)]
        lines = [text(f"Pagina {page + 1} è {slot}ª riga {line}" if (slot + line + page) % 5 else "")
                 for slot in range(1, 25) for line in range(1, 7)]
        f.write(b"".join(names + lines))
PY
}
