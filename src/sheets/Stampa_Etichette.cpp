#include "sheets/Stampa_Etichette.h"

#include <QPushButton>

TfrmStampa_Etichette::TfrmStampa_Etichette(Velmora& app, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Stampa pagina etichette"), QSize(560, 360), ui::Centre::Owner), app_(app) {
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(560 - 130, 360 - 50, 110, 32);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}
