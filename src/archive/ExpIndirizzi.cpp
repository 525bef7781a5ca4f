#include "archive/ExpIndirizzi.h"

#include <QPushButton>

TfrmExpIndirizzi::TfrmExpIndirizzi(Velmora& app, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Esportazione archivio dati in Excel"), QSize(862, 560), ui::Centre::Screen), app_(app) {
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(862 - 130, 560 - 50, 110, 32);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}
