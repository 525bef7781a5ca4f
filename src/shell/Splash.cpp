#include "shell/Splash.h"

#include <QPushButton>

TfrmSplash::TfrmSplash(QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Velmora - software di Officina Esempio (sito d'esempio)"), QSize(560, 400), ui::Centre::Owner) {
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(560 - 130, 400 - 50, 110, 32);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}
