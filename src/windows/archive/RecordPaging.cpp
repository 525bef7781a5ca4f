#include "windows/archive/RecordPaging.h"

#include "ui/Messages.h"

namespace paging {

void ReportAccessError(QWidget* window) {
    ui::ShowMessage(window,
                    QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                   "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                                   "installazione del programma."),
                    ui::Kind::Error);
}

void ReportEmptyArchive(QWidget* window) {
    ui::ShowMessage(window, QStringLiteral("L'archivio non contiene nessuna scheda."), ui::Kind::Information);
}

void ReportUpdated(QWidget* window) {
    ui::ShowMessage(window,
                    QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio."),
                    ui::Kind::Information);
}

void ReportAppended(QWidget* window) {
    ui::ShowMessage(window, QStringLiteral("La scheda corrente è stata inserita in archivio."),
                    ui::Kind::Information);
}

}  // namespace paging
