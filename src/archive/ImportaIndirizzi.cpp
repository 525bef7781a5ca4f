#include "archive/ImportaIndirizzi.h"

namespace {
const RecordPicker::Kind kImport{" Importa etichetta da archivio dati", "Riepilogo dati in archivio", true};
}

TfrmImportaIndirizzi::TfrmImportaIndirizzi(Velmora& app, QWidget* owner) : RecordPicker(app, owner, kImport) {}
