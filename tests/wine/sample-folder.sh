# Sourced by the Wine checks: sample_folder DIR LINUX_BATCH fills DIR with a
# data archive of addresses (imported by the Linux velmora-batch from a CSV
# file with accents, quotes and commas) and a label archive of two pages,
# written record by record as the program stores them (168 texts of a length
# byte and Windows-1252 letters).
sample_folder() {
  local folder="$1" batch="$2"
  mkdir -p "$folder"
  cat >"$folder/../indirizzi.csv" <<'CSV'
Nome,Tipo,Rigo 1,Rigo 2,Rigo 3,Rigo 4,Rigo 5,Rigo 6,Note
Rossi Anna,Cliente,Sig.ra Anna Rossi,"Via Garibaldi, 12",00144 Roma RM,Italia,,,"nota ""prima"""
Caffè Bianchi,Fornitore,Caffè Bianchi S.r.l.,Piazza Duomo 1,20121 Milano MI,,c.a. Sig. Nicolò Dell'Acqua,,=1+1
Società SSeta,Cliente,Società Omega & Figli,Corso Vittorio Emanuele II 1024/B,80100 Napoli NA,Italia,Tel. 081 555 0199,,
CSV
  "$batch" --folder "$folder" --quiet import "$folder/../indirizzi.csv"
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
