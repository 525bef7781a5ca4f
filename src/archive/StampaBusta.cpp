#include "archive/StampaBusta.h"

#include <QPushButton>

TfrmStampaBusta::TfrmStampaBusta(Velmora& app, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Stampa indirizzo su busta"), QSize(498, 470), ui::Centre::Owner), app_(app) {
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(498 - 130, 470 - 50, 110, 32);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}
