#include "access/Password.h"

#include "access/CambiaPassword.h"
#include "app/Velmora.h"
#include "shell/Avvio.h"

#include <QLineEdit>
#include <QPushButton>

TfrmPassword::TfrmPassword(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora - Riconoscimento"), Frame::Fixed, QSize(520, 420)), app_(app) {
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setGeometry(60, 200, 300, 36);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(370, 200, 90, 36);
    cmdEsci = new QPushButton(QStringLiteral("Esci"), this);
    cmdEsci->setGeometry(20, 360, 120, 36);
    btnCambiaPassword = new QPushButton(QStringLiteral("Cambia password"), this);
    btnCambiaPassword->setGeometry(360, 360, 140, 36);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmPassword::cmdEsciClick);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::btnCambiaPasswordClick);
}

void TfrmPassword::FormShow() { txtPassword->setFocus(); }

void TfrmPassword::cmdOKClick() { app_.HandOver(*this, app_.frmAvvio()); }

void TfrmPassword::cmdEsciClick() { close(); }

void TfrmPassword::FormClose() { app_.Terminate(); }

void TfrmPassword::btnCambiaPasswordClick() { app_.HandOver(*this, app_.frmCambiaPassword()); }
