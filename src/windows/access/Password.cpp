#include "windows/access/Password.h"

#include "windows/access/CambiaPassword.h"
#include "windows/access/PasswordBoxes.h"
#include "core/access/PasswordFile.h"
#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "ui/Gradient.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "windows/shell/Avvio.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr QSize kClient(560, 470);
}  // namespace

TfrmPassword::TfrmPassword(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora - Riconoscimento"), Frame::Fixed, kClient), app_(app) {
    QWidget* panel = ui::MakeBackdrop(this, QStringLiteral("panContenuto"), kClient).panel;
    auto* shpLogo = new ui::Gradient(QStringLiteral("shpLogo"), ui::colour::kSteelBlue, ui::colour::kWhite, panel);
    shpLogo->setGeometry(20, 20, 520, 200);
    auto* imgLogo = new ui::Picture(QStringLiteral("imgLogo"), QStringLiteral("access_password"), QSize(500, 180), panel);
    imgLogo->move(30, 30);
    auto* shpPassword =
        new ui::Gradient(QStringLiteral("shpPassword"), ui::colour::kLightBlue, ui::colour::kWhite, panel);
    shpPassword->setGeometry(20, 235, 520, 130);

    lblRigo05 = new QLabel(QStringLiteral("Immetti la password e premi OK."), panel);
    lblRigo05->setObjectName(QStringLiteral("lblRigo05"));
    lblRigo05->setFont(QFont(QStringLiteral("Verdana"), 11));
    lblRigo05->setGeometry(40, 248, 480, 24);

    cmdOK = ui::NewButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), QRect(410, 295, 110, 40), panel);
    auto* boxes = new PasswordBoxes(cmdOK, this);
    txtPassword = boxes->Add(QStringLiteral("txtPassword"), QStringLiteral("effPassword"), QRect(46, 295, 340, 40),
                             panel, effPassword);
    lblRigo05->setBuddy(txtPassword);
    cmdEsci = ui::NewButton(QStringLiteral("cmdEsci"), QStringLiteral("Esci"), QRect(20, 405, 130, 40), panel);
    btnCambiaPassword = ui::NewButton(QStringLiteral("btnCambiaPassword"), QStringLiteral("Cambia password"),
                                  QRect(360, 405, 180, 40), panel);
    lblMemory = new QLabel(panel);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdEsci);
    setTabOrder(cmdEsci, btnCambiaPassword);

    connect(txtPassword, &QLineEdit::returnPressed, this, &TfrmPassword::txtPasswordEnter);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmPassword::cmdEsciClick);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::btnCambiaPasswordClick);
}

void TfrmPassword::FormShow() { txtPassword->setFocus(); }

// Closing the main window ends the run.
void TfrmPassword::FormClose() { app_.Terminate(); }

void TfrmPassword::txtPasswordEnter() {
    if (!IsBlank(txtPassword->text())) cmdOKClick();
}

void TfrmPassword::cmdOKClick() {
    QString stored;
    try {
        stored = ReadStoredPassword(app_.Folder());
    } catch (const std::exception&) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura "
                                           "della password. Si consiglia di reinstallare il software."));
        return;
    }
    if (NormalizePassword(txtPassword->text()) != stored) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: password errata."));
        txtPassword->clear();
        txtPassword->setFocus();
        return;
    }
    app_.HandOver(*this, app_.frmAvvio());
}

void TfrmPassword::cmdEsciClick() { close(); }

void TfrmPassword::btnCambiaPasswordClick() { app_.HandOver(*this, app_.frmCambiaPassword()); }
