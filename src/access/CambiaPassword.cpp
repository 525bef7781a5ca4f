#include "access/CambiaPassword.h"

#include "access/Password.h"
#include "app/Velmora.h"

#include <QLineEdit>
#include <QPushButton>

TfrmCambiaPassword::TfrmCambiaPassword(Velmora& app)
    : ui::Window(QStringLiteral(" Cambia password"), Frame::Fixed, QSize(520, 480)), app_(app) {
    cmdEsci = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdEsci->setGeometry(20, 420, 120, 36);
    connect(cmdEsci, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmCambiaPassword::FormClose() {
    TfrmPassword& login = app_.frmPassword();
    login.txtPassword->clear();
    login.Present();
    login.txtPassword->setFocus();
}
