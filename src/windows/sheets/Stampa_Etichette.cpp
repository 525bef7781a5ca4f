#include "windows/sheets/Stampa_Etichette.h"

#include "windows/app/Velmora.h"
#include "windows/sheets/Archivio_Etichette.h"

namespace {
const SheetPrintWindow::Kind kKind{" Stampa pagina etichette", "Stampa", label_sheet::kPageName, false};
}

TfrmStampa_Etichette::TfrmStampa_Etichette(Velmora& app, QWidget* owner)
    : SheetPrintWindow(owner, kKind, app.Folder(), [&app] { return app.frmArchivio_Etichette().LinesOnScreen(); }) {}
