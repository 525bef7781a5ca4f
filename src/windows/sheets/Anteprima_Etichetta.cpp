#include "windows/sheets/Anteprima_Etichetta.h"

#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"

#include <QLineEdit>

namespace {
const SheetPrintWindow::Kind kKind{" Anteprima di stampa", "Mostra anteprima", label_sheet::kRecordName, true};

// The six line boxes of the data archive window, as they stand, on every label.
label_sheet::Lines RecordOnEveryLabel(const TfrmArchivio_Indirizzi& archive) {
    std::array<QString, label_sheet::kLines> label;
    const auto boxes = archive.LineBoxes();
    for (int line = 0; line < label_sheet::kLines; ++line) label[line] = boxes[line]->text();
    return label_sheet::OnEveryLabel(label);
}
}  // namespace

TfrmAnteprima_Etichetta::TfrmAnteprima_Etichetta(Velmora& app, QWidget* owner)
    : SheetPrintWindow(owner, kKind, app.Folder(), [&app] { return RecordOnEveryLabel(app.frmArchivio_Indirizzi()); }) {}
