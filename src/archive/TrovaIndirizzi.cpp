#include "archive/TrovaIndirizzi.h"

namespace {
const RecordPicker::Kind kFind{" Trova schede in archivio", "Riepilogo etichette in archivio", false};
}

TfrmTrovaIndirizzi::TfrmTrovaIndirizzi(Velmora& app, QWidget* owner) : RecordPicker(app, owner, kFind) {}
