#include "windows/archive/TrovaIndirizzi.h"

#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "print/templates/Riepilogo.h"

namespace {

// The whole record, with its number, into the data archive window.
void LoadIntoArchive(RecordPicker& picker, const DataRecord& record, long long number) {
    picker.App().frmArchivio_Indirizzi().ShowRecord(record, number);
}

const RecordPicker::Kind kFind{" Trova schede in archivio", "picker_trova", summary::kFindTitle,
                               false, &LoadIntoArchive};

}  // namespace

TfrmTrovaIndirizzi::TfrmTrovaIndirizzi(Velmora& app, QWidget* owner) : RecordPicker(app, owner, kFind) {}
