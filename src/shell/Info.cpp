#include "shell/Info.h"

#include <QPushButton>

TfrmInfo::TfrmInfo(QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Informazioni su Velmora"), QSize(480, 360), ui::Centre::Screen) {
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(480 - 130, 360 - 50, 110, 32);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}
