#include "windows/archive/ImportaIndirizzi.h"

#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "core/archive/DataRecord.h"
#include "print/templates/Riepilogo.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "core/sheets/LabelGrid.h"
#include "ui/TextBox.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// Name and lines 1 to 6 into the slot of the label sheet window whose key
// lblMemory holds; nothing when it holds no slot key.
void CopyIntoSlot(RecordPicker& picker, const DataRecord& record, long long) {
    const int slot = label_grid::SlotOfKey(TrimText(picker.lblMemory->text()));
    if (slot == 0) return;
    TfrmArchivio_Etichette& sheet = picker.App().frmArchivio_Etichette();
    ui::ShowText(sheet.txtNome(slot), record.Text(DataRecord::Nome));
    for (int line = 1; line <= label_grid::kLines; ++line)
        sheet.txtRigo(line, slot)->setText(record.Text(DataRecord::Rigo(line)));
}

const RecordPicker::Kind kImport{" Importa etichetta da archivio dati", "picker_importa", summary::kImportTitle,
                                 true, &CopyIntoSlot};

}  // namespace

TfrmImportaIndirizzi::TfrmImportaIndirizzi(Velmora& app, QWidget* owner) : RecordPicker(app, owner, kImport) {}
