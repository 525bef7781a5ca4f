#include "windows/sheets/Anteprima_Etichette.h"

#include "windows/app/Velmora.h"
#include "windows/sheets/Archivio_Etichette.h"

namespace {
const SheetPrintWindow::Kind kKind{" Anteprima di stampa", "Mostra anteprima", label_sheet::kPageName, true};
}

TfrmAnteprima_Etichette::TfrmAnteprima_Etichette(Velmora& app, QWidget* owner)
    : SheetPrintWindow(owner, kKind, app.Folder(), [&app] { return app.frmArchivio_Etichette().LinesOnScreen(); }) {}
