#include "archive/AllegaCartella.h"

#include <QPushButton>

TfrmAllegaCartella::TfrmAllegaCartella(Velmora& app, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Allega file"), QSize(640, 480), ui::Centre::Screen), app_(app) {
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(640 - 130, 480 - 50, 110, 32);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}
