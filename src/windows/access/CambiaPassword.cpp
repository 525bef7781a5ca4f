#include "windows/access/CambiaPassword.h"

#include "windows/access/Password.h"
#include "windows/access/PasswordBoxes.h"
#include "core/access/PasswordFile.h"
#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "ui/EnterCycle.h"
#include "ui/Gradient.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr QSize kClient(560, 520);

QLabel* NewCaption(const QString& name, const QString& text, int y, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(QFont(QStringLiteral("Verdana"), 11));
    label->setGeometry(40, y, 480, 22);
    return label;
}
}  // namespace

TfrmCambiaPassword::TfrmCambiaPassword(Velmora& app)
    : ui::Window(QStringLiteral(" Cambia password"), Frame::Fixed, kClient), app_(app) {
    QWidget* panel = ui::MakeBackdrop(this, QStringLiteral("panContenuto"), kClient).panel;
    auto* shpLogo = new ui::Gradient(QStringLiteral("shpLogo"), ui::colour::kSteelBlue, ui::colour::kWhite, panel);
    shpLogo->setGeometry(20, 20, 520, 160);
    auto* imgLogo = new ui::Picture(QStringLiteral("imgLogo"), QStringLiteral("access_cambia"), QSize(500, 140), panel);
    imgLogo->move(30, 30);
    auto* shpPassword =
        new ui::Gradient(QStringLiteral("shpPassword"), ui::colour::kLightBlue, ui::colour::kWhite, panel);
    shpPassword->setGeometry(20, 192, 520, 250);

    cmdOK = ui::NewButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), QRect(410, 460, 130, 40), panel);
    auto* boxes = new PasswordBoxes(cmdOK, this);
    lblRigo05 = NewCaption(QStringLiteral("lblRigo05"), QStringLiteral("Vecchia password:"), 202, panel);
    txtPasswordOld = boxes->Add(QStringLiteral("txtPasswordOld"), QStringLiteral("effPasswordOld"),
                                QRect(46, 230, 468, 38), panel, effPasswordOld);
    lblRigo06 = NewCaption(QStringLiteral("lblRigo06"), QStringLiteral("Nuova password:"), 282, panel);
    txtPasswordNew = boxes->Add(QStringLiteral("txtPasswordNew"), QStringLiteral("effPasswordNew"),
                                QRect(46, 310, 468, 38), panel, effPasswordNew);
    lblRigo07 = NewCaption(QStringLiteral("lblRigo07"), QStringLiteral("Conferma nuova password:"), 362, panel);
    txtConferma = boxes->Add(QStringLiteral("txtConferma"), QStringLiteral("effConferma"), QRect(46, 390, 468, 38),
                             panel, effConferma);
    lblRigo05->setBuddy(txtPasswordOld);
    lblRigo06->setBuddy(txtPasswordNew);
    lblRigo07->setBuddy(txtConferma);
    cmdEsci = ui::NewButton(QStringLiteral("cmdEsci"), QStringLiteral("Chiudi"), QRect(20, 460, 130, 40), panel);

    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);
    setTabOrder(txtConferma, cmdEsci);
    setTabOrder(cmdEsci, cmdOK);
    new ui::EnterCycle({txtPasswordOld, txtPasswordNew, txtConferma}, true, this);

    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdEsciClick);
}

void TfrmCambiaPassword::FormShow() {
    txtPasswordOld->clear();
    txtPasswordNew->clear();
    txtConferma->clear();
    txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::FormClose() {
    TfrmPassword& login = app_.frmPassword();
    login.txtPassword->clear();
    login.lblMemory->clear();
    login.Present();
    login.txtPassword->setFocus();
}

void TfrmCambiaPassword::ReportFailure() {
    ui::ShowPlain(this, QStringLiteral("Attenzione: si è verificato un errore durante la procedura di modifica della "
                                       "password. Si consiglia di reinstallare il software."));
}

void TfrmCambiaPassword::RetypeNew() {
    txtPasswordNew->clear();
    txtConferma->clear();
    txtPasswordNew->setFocus();
}

void TfrmCambiaPassword::cmdOKClick() {
    QString stored;
    try {
        stored = ReadStoredPassword(app_.Folder());
    } catch (const std::exception&) {
        ReportFailure();
        return;
    }
    if (NormalizePassword(txtPasswordOld->text()) != stored) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: vecchia password errata."));
        txtPasswordOld->clear();
        txtPasswordOld->setFocus();
        return;
    }
    if (TrimText(txtPasswordNew->text()) != TrimText(txtConferma->text())) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                                           "E' necessario reinserire entrambi i valori."));
        RetypeNew();
        return;
    }
    // The cipher keeps 8 bits of each character: such a password could never
    // be typed again.
    if (!IsStorablePassword(txtPasswordNew->text())) {
        ui::ShowPlain(this, QStringLiteral("Attenzione: la nuova password contiene caratteri non consentiti. "
                                           "Usare soltanto lettere, cifre e simboli dell'alfabeto latino "
                                           "(per esempio A-Z, 0-9, à, è, @, #) e reinserire entrambi i valori."));
        RetypeNew();
        return;
    }
    try {
        WriteStoredPassword(app_.Folder(), txtPasswordNew->text());
    } catch (const std::exception&) {
        ReportFailure();
        return;
    }
    ui::ShowPlain(this, QStringLiteral("Modifica della password completata con successo."));
    close();
}

void TfrmCambiaPassword::cmdEsciClick() { close(); }

void TfrmCambiaPassword::keyPressEvent(QKeyEvent* event) {
    // Esc leaves as Chiudi does, back to the login window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) return cmdEsciClick();
    ui::Window::keyPressEvent(event);
}
