#include "windows/access/CambiaPassword.h"
#include "core/access/Crypt.h"
#include "windows/access/Password.h"
#include "core/access/PasswordFile.h"
#include "support/WriteFailure.h"
#include "windows/app/Velmora.h"
#include "ui/PictureButton.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"
#include "windows/shell/OpenURL.h"
#include "support/IniForms.h"
#include "support/SpecialFiles.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using testing::ElementsAre;
using testing::IsEmpty;
using testing_support::AppFixture;
using testing_support::MessageLog;
using testing_support::ModalScript;

namespace {

const QString kWrong = QStringLiteral("Attenzione: password errata.");
const QString kReadFailure = QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura "
                                            "della password. Si consiglia di reinstallare il software.");
const QString kChangeFailure = QStringLiteral("Attenzione: si è verificato un errore durante la procedura di "
                                              "modifica della password. Si consiglia di reinstallare il software.");
const QString kOldWrong = QStringLiteral("Attenzione: vecchia password errata.");
const QString kNotConfirmed = QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                                             "E' necessario reinserire entrambi i valori.");
const QString kChanged = QStringLiteral("Modifica della password completata con successo.");

// A password file as an installation may hold it: the password among other
// lines that a change must leave alone.
QByteArray PasswordFile(const QString& stored) {
    return "; Velmora\r\n[Accesso]\r\nValore=" + EncryptPassword(stored).toLatin1() +
           "\r\nVersione=1\r\n\r\n[Margini]\r\nValore=7\r\n";
}

// The program started on a fresh folder holding the first-access password;
// the user types into whatever box has the focus.
class Access : public testing::Test {
protected:
    AppFixture fixture;
    MessageLog log;

    void SetUp() override {
        fixture.folder.Write(QStringLiteral("unins000.dll"), PasswordFile(QStringLiteral("RICONOSCIMENTO")));
        app().Start();
        Settle();
    }

    Velmora& app() { return *fixture.app; }
    TfrmPassword& login() { return app().frmPassword(); }
    TfrmCambiaPassword& change() { return app().frmCambiaPassword(); }
    TfrmAvvio& launcher() { return app().frmAvvio(); }
    QByteArray StoredFile() const { return fixture.folder.Read(QStringLiteral("unins000.dll")); }

    static void Settle() { QApplication::processEvents(); }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    // Key by key; characters beyond ASCII come as the text of a key event.
    static void Type(const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(Focused(), char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, Focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        Settle();
    }
    static void Press(Qt::Key key) {
        QTest::keyClick(Focused(), key);
        Settle();
    }
    static void Click(QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }
    static void Click(ui::PictureButton* picture) {
        QTest::mouseClick(picture, Qt::LeftButton);
        Settle();
    }

    std::vector<QWidget*> Visible() {
        std::vector<QWidget*> visible;
        for (QWidget* window : app().Windows())
            if (window->isVisible()) visible.push_back(window);
        return visible;
    }

    void LogIn(const QString& typed) {
        Type(typed);
        Press(Qt::Key_Return);
    }

    void TypeChange(const QString& oldPassword, const QString& newPassword, const QString& confirmation) {
        Click(login().btnCambiaPassword);
        for (const QString& text : {oldPassword, newPassword, confirmation}) {
            Type(text);
            Press(Qt::Key_Return);
        }
    }
};

// --- Login ---------------------------------------------------------------

TEST_F(Access, StartShowsOnlyTheLoginWaitingForThePassword) {
    EXPECT_THAT(Visible(), ElementsAre(&login()));
    EXPECT_EQ(login().windowTitle(), QStringLiteral(" Velmora - Riconoscimento"));
    EXPECT_EQ(Focused(), login().txtPassword);
    EXPECT_TRUE(login().effPassword->isVisible());
    EXPECT_FALSE(login().cmdOK->isEnabled());
}

TEST_F(Access, WrongPasswordKeepsTheLoginWithAnEmptyBox) {
    LogIn(QStringLiteral("sbagliata"));
    EXPECT_EQ(log.Only(), kWrong);
    EXPECT_EQ(log.messages[0].buttons, ui::Buttons::Ok);
    EXPECT_THAT(Visible(), ElementsAre(&login()));
    EXPECT_EQ(login().txtPassword->text(), QString());
    EXPECT_EQ(Focused(), login().txtPassword);
    EXPECT_TRUE(login().effPassword->isVisible());
    EXPECT_FALSE(login().cmdOK->isEnabled());
}

TEST_F(Access, BlankBoxKeepsOKDisabledAndEnterDoesNothing) {
    Type(QStringLiteral("   "));
    EXPECT_FALSE(login().cmdOK->isEnabled());
    Press(Qt::Key_Return);
    EXPECT_THAT(log.messages, IsEmpty());
    Type(QStringLiteral("x"));
    EXPECT_TRUE(login().cmdOK->isEnabled());
    Press(Qt::Key_Backspace);
    EXPECT_FALSE(login().cmdOK->isEnabled());
    EXPECT_THAT(Visible(), ElementsAre(&login()));
}

struct Typed {
    const char* name;
    QString text;
    bool byEnter;
};

class FirstAccess : public Access, public testing::WithParamInterface<Typed> {};

TEST_P(FirstAccess, OpensTheLauncherAndHidesTheLogin) {
    Type(GetParam().text);
    if (GetParam().byEnter)
        Press(Qt::Key_Return);
    else
        Click(login().cmdOK);
    EXPECT_THAT(log.messages, IsEmpty());
    EXPECT_THAT(Visible(), ElementsAre(&launcher()));
    EXPECT_TRUE(launcher().isMaximized());
}

INSTANTIATE_TEST_SUITE_P(
    AnyCase, FirstAccess,
    testing::Values(Typed{"LowerCaseEnter", QStringLiteral("riconoscimento"), true},
                    Typed{"UpperCaseClick", QStringLiteral("RICONOSCIMENTO"), false},
                    Typed{"MixedCaseWithBlanks", QStringLiteral("  RiCoNoScImEnTo   "), true}),
    [](const testing::TestParamInfo<Typed>& info) { return info.param.name; });

// The password file in each form that Windows programs save (UTF-16 with its
// mark as Notepad writes it, a lone CR at each line's end, ...): the login
// reads it, and a change writes the same cipher into the file's own form.
class PasswordFileForm : public Access, public testing::WithParamInterface<testing_support::IniForm> {
protected:
    QByteArray FileHolding(const QString& stored) const {
        const testing_support::IniForm& form = GetParam();
        return form.Bytes(form.Text({"; Velmora", "[Accesso]", "Valore=" + EncryptPassword(stored), "Versione=1"}));
    }
};

TEST_P(PasswordFileForm, OpensTheLauncher) {
    fixture.folder.Write(QStringLiteral("unins000.dll"), FileHolding(QStringLiteral("RICONOSCIMENTO")));
    LogIn(QStringLiteral("riconoscimento"));
    EXPECT_THAT(log.messages, IsEmpty());
    EXPECT_THAT(Visible(), ElementsAre(&launcher()));
}

TEST_P(PasswordFileForm, IsChangedInItsOwnForm) {
    fixture.folder.Write(QStringLiteral("unins000.dll"), FileHolding(QStringLiteral("RICONOSCIMENTO")));
    TypeChange(QStringLiteral("riconoscimento"), QStringLiteral("Nuova"), QStringLiteral("Nuova"));
    Click(change().cmdOK);
    EXPECT_EQ(log.Only(), kChanged);
    EXPECT_EQ(StoredFile(), FileHolding(QStringLiteral("NUOVA")));
    log.Clear();
    LogIn(QStringLiteral("nuova"));
    EXPECT_THAT(Visible(), ElementsAre(&launcher()));
}

INSTANTIATE_TEST_SUITE_P(Forms, PasswordFileForm, testing::ValuesIn(testing_support::IniForms()),
                         [](const testing::TestParamInfo<testing_support::IniForm>& info) {
                             std::string name = info.param.Name();
                             const auto other = [](unsigned char c) { return !std::isalnum(c); };
                             std::replace_if(name.begin(), name.end(), other, '_');
                             return name;
                         });

TEST_F(Access, BlanksInsideThePasswordCount) {
    LogIn(QStringLiteral("ricono scimento"));
    EXPECT_EQ(log.Only(), kWrong);
}

TEST_F(Access, MissingPasswordFileRefusesEveryPassword) {
    ASSERT_TRUE(QFile::remove(fixture.folder.File(QStringLiteral("unins000.dll"))));
    LogIn(QStringLiteral("riconoscimento"));
    EXPECT_EQ(log.Only(), kWrong);
    EXPECT_THAT(Visible(), ElementsAre(&login()));
}

TEST_F(Access, DamagedPasswordFileIsReportedAndTheTextStays) {
    fixture.folder.Write(QStringLiteral("unins000.dll"), "[Accesso]\r\nValore=5B69ZZ\r\n");
    LogIn(QStringLiteral("riconoscimento"));
    EXPECT_EQ(log.Only(), kReadFailure);
    EXPECT_EQ(log.messages[0].buttons, ui::Buttons::Ok);
    EXPECT_EQ(login().txtPassword->text(), QStringLiteral("riconoscimento"));
    EXPECT_THAT(Visible(), ElementsAre(&login()));
}

// A FIFO, folder, device link or socket in place of the password file: the
// login reports its read failure at once (it does not wait on the FIFO) and
// so does the change window; the thing stays as it was.
TEST_F(Access, ASpecialFileAsThePasswordFileIsReportedWithoutWaiting) {
    const QString file = fixture.folder.File(QStringLiteral("unins000.dll"));
    for (const auto& special : testing_support::kSpecialFiles) {
        SCOPED_TRACE(special.name);
        ASSERT_TRUE(testing_support::PutSpecialFile(special, file));
        LogIn(QStringLiteral("riconoscimento"));
        EXPECT_EQ(log.Only(), kReadFailure);
        log.messages.clear();
        TypeChange(QStringLiteral("riconoscimento"), QStringLiteral("nuova"), QStringLiteral("nuova"));
        Click(change().cmdOK);
        EXPECT_EQ(log.Only(), kChangeFailure);
        log.messages.clear();
        Click(change().cmdEsci);
        EXPECT_THAT(Visible(), ElementsAre(&login()));
        EXPECT_FALSE(QFileInfo(file).isFile());
    }
}

TEST_F(Access, EsciEndsTheProgram) {
    Click(login().cmdEsci);
    EXPECT_TRUE(app().Terminated());
    EXPECT_THAT(Visible(), IsEmpty());
}

// --- Change of password --------------------------------------------------

TEST_F(Access, ChangeWindowReplacesTheLoginWithEmptyBoxes) {
    Click(login().btnCambiaPassword);
    EXPECT_THAT(Visible(), ElementsAre(&change()));
    EXPECT_EQ(Focused(), change().txtPasswordOld);
    EXPECT_TRUE(change().effPasswordOld->isVisible());
    EXPECT_FALSE(change().effPasswordNew->isVisible());
    EXPECT_FALSE(change().cmdOK->isEnabled());
}

TEST_F(Access, EnterCyclesThroughTheBoxesWithoutChanging) {
    Click(login().btnCambiaPassword);
    const QByteArray before = StoredFile();
    QLineEdit* cycle[] = {change().txtPasswordNew, change().txtConferma, change().txtPasswordOld};
    for (QLineEdit* next : cycle) {
        Type(QStringLiteral("riconoscimento"));
        Press(Qt::Key_Return);
        EXPECT_EQ(Focused(), next);
    }
    EXPECT_TRUE(change().effPasswordOld->isVisible());
    EXPECT_FALSE(change().effConferma->isVisible());
    EXPECT_THAT(log.messages, IsEmpty());
    EXPECT_EQ(StoredFile(), before);
}

TEST_F(Access, OKNeedsAllThreeBoxesFilled) {
    Click(login().btnCambiaPassword);
    Type(QStringLiteral("a"));
    Press(Qt::Key_Return);
    Type(QStringLiteral("b"));
    Press(Qt::Key_Return);
    Type(QStringLiteral("  "));
    EXPECT_FALSE(change().cmdOK->isEnabled());
    Type(QStringLiteral("b"));
    EXPECT_TRUE(change().cmdOK->isEnabled());
}

TEST_F(Access, ChangeRewritesOnlyThePasswordAndTheNewOneOpens) {
    TypeChange(QStringLiteral(" RiConoscimento "), QStringLiteral("Nuova Chiave"), QStringLiteral(" Nuova Chiave  "));
    Click(change().cmdOK);
    EXPECT_EQ(log.Only(), kChanged);
    EXPECT_EQ(StoredFile(), PasswordFile(QStringLiteral("NUOVA CHIAVE")));

    EXPECT_THAT(Visible(), ElementsAre(&login()));
    EXPECT_EQ(Focused(), login().txtPassword);
    log.Clear();
    LogIn(QStringLiteral("riconoscimento"));
    EXPECT_EQ(log.Only(), kWrong);
    LogIn(QStringLiteral("nuova chiave"));
    EXPECT_THAT(Visible(), ElementsAre(&launcher()));
}

struct Refusal {
    const char* name;
    QString oldPassword, newPassword, confirmation;
    QString message;
    // The three boxes afterwards, and which one has the focus (0 to 2).
    QString oldAfter, newAfter, confirmationAfter;
    int focus;
};

class RefusedChange : public Access, public testing::WithParamInterface<Refusal> {};

TEST_P(RefusedChange, KeepsTheOldPasswordAndTheWindow) {
    const Refusal& r = GetParam();
    const QByteArray before = StoredFile();
    TypeChange(r.oldPassword, r.newPassword, r.confirmation);
    Click(change().cmdOK);
    EXPECT_EQ(log.Only(), r.message);
    EXPECT_EQ(log.messages[0].buttons, ui::Buttons::Ok);
    EXPECT_EQ(StoredFile(), before);
    EXPECT_THAT(Visible(), ElementsAre(&change()));
    EXPECT_EQ(change().txtPasswordOld->text(), r.oldAfter);
    EXPECT_EQ(change().txtPasswordNew->text(), r.newAfter);
    EXPECT_EQ(change().txtConferma->text(), r.confirmationAfter);
    QLineEdit* boxes[] = {change().txtPasswordOld, change().txtPasswordNew, change().txtConferma};
    EXPECT_EQ(Focused(), boxes[r.focus]);
}

const QString kFirst = QStringLiteral("riconoscimento");

INSTANTIATE_TEST_SUITE_P(
    Checks, RefusedChange,
    testing::Values(
        Refusal{"WrongOldPassword", QStringLiteral("sbagliata"), QStringLiteral("nuova"), QStringLiteral("nuova"),
                kOldWrong, QString(), QStringLiteral("nuova"), QStringLiteral("nuova"), 0},
        Refusal{"ConfirmationDiffers", kFirst, QStringLiteral("nuova"), QStringLiteral("altra"), kNotConfirmed,
                kFirst, QString(), QString(), 1},
        Refusal{"ConfirmationDiffersInCaseOnly", kFirst, QStringLiteral("Nuova"), QStringLiteral("nuova"),
                kNotConfirmed, kFirst, QString(), QString(), 1},
        Refusal{"CharacterTheCipherCannotKeep", kFirst, QStringLiteral("euro\u20ac"), QStringLiteral("euro\u20ac"),
                QStringLiteral("Attenzione: la nuova password contiene caratteri non consentiti. Usare soltanto "
                               "lettere, cifre e simboli dell'alfabeto latino (per esempio A-Z, 0-9, à, è, @, #) "
                               "e reinserire entrambi i valori."),
                kFirst, QString(), QString(), 1}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST_F(Access, UnwritablePasswordFileIsReportedAndKept) {
    const QByteArray before = StoredFile();
    TypeChange(kFirst, QStringLiteral("nuova"), QStringLiteral("nuova"));
    {
        WritesFail full;
        Click(change().cmdOK);
    }
    EXPECT_EQ(log.Only(), kChangeFailure);
    EXPECT_EQ(StoredFile(), before);
    EXPECT_THAT(Visible(), ElementsAre(&change()));
    EXPECT_EQ(change().txtPasswordNew->text(), QStringLiteral("nuova"));
}

TEST_F(Access, DamagedPasswordFileStopsTheChange) {
    fixture.folder.Write(QStringLiteral("unins000.dll"), "[Accesso]\r\nValore=XY\r\n");
    TypeChange(kFirst, QStringLiteral("nuova"), QStringLiteral("nuova"));
    Click(change().cmdOK);
    EXPECT_EQ(log.Only(), kChangeFailure);
    EXPECT_EQ(StoredFile(), QByteArray("[Accesso]\r\nValore=XY\r\n"));
    EXPECT_THAT(Visible(), ElementsAre(&change()));
}

TEST_F(Access, ChiudiBringsBackAnEmptyLoginAndTheNextOpeningStartsEmpty) {
    Type(QStringLiteral("qualcosa"));
    Click(login().btnCambiaPassword);
    Type(QStringLiteral("vecchia"));
    Click(change().cmdEsci);
    EXPECT_THAT(Visible(), ElementsAre(&login()));
    EXPECT_EQ(login().txtPassword->text(), QString());
    EXPECT_EQ(Focused(), login().txtPassword);

    Click(login().btnCambiaPassword);
    EXPECT_EQ(change().txtPasswordOld->text(), QString());
}

// --- Launcher ------------------------------------------------------------

class Launcher : public Access {
protected:
    void SetUp() override {
        Access::SetUp();
        LogIn(kFirst);
        ASSERT_THAT(Visible(), ElementsAre(&launcher()));
    }
};

struct Tile {
    const char* name;
    ui::PictureButton* TfrmAvvio::*picture;
    bool labels;
};

class LauncherTile : public Launcher, public testing::WithParamInterface<Tile> {};

TEST_P(LauncherTile, OpensItsWorkAreaWhichReturnsOnClosing) {
    Click(launcher().*GetParam().picture);
    QWidget* work = GetParam().labels ? static_cast<QWidget*>(&app().frmArchivio_Etichette())
                                      : static_cast<QWidget*>(&app().frmArchivio_Indirizzi());
    EXPECT_THAT(Visible(), ElementsAre(work));
    work->close();
    Settle();
    EXPECT_THAT(Visible(), ElementsAre(&launcher()));
    EXPECT_FALSE(app().Terminated());
}

INSTANTIATE_TEST_SUITE_P(Tiles, LauncherTile,
                         testing::Values(Tile{"ArchivioPicture", &TfrmAvvio::imgApp01, false},
                                         Tile{"ArchivioButton", &TfrmAvvio::btnApp01, false},
                                         Tile{"EtichettePicture", &TfrmAvvio::imgApp02, true},
                                         Tile{"EtichetteButton", &TfrmAvvio::btnApp02, true}),
                         [](const testing::TestParamInfo<Tile>& info) { return info.param.name; });

TEST_F(Launcher, HelpGivesTwentyParagraphs) {
    QString title;
    QStringList paragraphs;
    ModalScript script;
    script.Then([&](QDialog& dialog) {
        auto& guida = static_cast<TfrmGuida&>(dialog);
        title = guida.lblTitolo->text();
        paragraphs = guida.txtGuida->toPlainText().split(QStringLiteral("\n\n"));
    });
    Click(launcher().imgGuida);
    EXPECT_THAT(script.opened, ElementsAre(QStringLiteral(" Guida all'utilizzo del software")));
    EXPECT_EQ(title, QStringLiteral("Uno sguardo a Velmora"));
    EXPECT_EQ(paragraphs.size(), 20);
    EXPECT_EQ(HelpText(TfrmAvvio::HelpParagraphs()).count(QStringLiteral("\r\n\r\n")), 19);
    EXPECT_TRUE(paragraphs.filter(QStringLiteral("riconoscimento")).size() == 1);
}

TEST_F(Launcher, IconsOpenTheInformationAndSplashWindowsModally) {
    ModalScript script;
    std::vector<QWidget*> owners;
    std::vector<bool> modal;
    const auto look = [&](QDialog& d) {
        owners.push_back(d.parentWidget());
        modal.push_back(QApplication::activeModalWidget() == &d);
    };
    script.Then(look).Then(look);
    Click(launcher().imgInfo);
    Click(launcher().imgCopyright);
    EXPECT_THAT(modal, ElementsAre(true, true));
    EXPECT_THAT(script.opened, ElementsAre(QStringLiteral(" Informazioni su Velmora"),
                                           QStringLiteral(" Velmora - software di Officina Esempio")));
    EXPECT_THAT(owners, ElementsAre(&launcher(), &launcher()));
    EXPECT_THAT(Visible(), ElementsAre(&launcher()));
}

TEST_F(Launcher, SiteIconOpensTheMakersWebSite) {
    std::vector<QUrl> opened;
    const TMisc::Opener previous = TMisc::SetOpener([&](const QUrl& url) { opened.push_back(url); });
    Click(launcher().imgSito);
    TMisc::SetOpener(previous);
    EXPECT_THAT(opened, ElementsAre(QUrl(QStringLiteral("https://www.velmora.example"))));
}

TEST_F(Launcher, ClosingItEndsTheProgram) {
    launcher().close();
    Settle();
    EXPECT_TRUE(app().Terminated());
    EXPECT_THAT(Visible(), IsEmpty());
}

TEST_F(Launcher, EsciEndsTheProgram) {
    Click(launcher().imgEsci);
    EXPECT_TRUE(app().Terminated());
    EXPECT_THAT(Visible(), IsEmpty());
}

// --- Opening through the desktop -----------------------------------------

TEST(OpenURL, HandsPathsAndAddressesToTheOpener) {
    std::vector<QUrl> opened;
    const TMisc::Opener previous = TMisc::SetOpener([&](const QUrl& url) { opened.push_back(url); });
    TMisc::Open(QStringLiteral("\"/tmp/Documenti Allegati/fattura 1.pdf\""));
    TMisc::Open(QStringLiteral("/tmp/Guida.pdf"));
    TMisc::Open(QStringLiteral("mailto:assistenza@velmora.example"));
    TMisc::SetOpener(previous);
    EXPECT_THAT(opened, ElementsAre(QUrl::fromLocalFile(QStringLiteral("/tmp/Documenti Allegati/fattura 1.pdf")),
                                    QUrl::fromLocalFile(QStringLiteral("/tmp/Guida.pdf")),
                                    QUrl(QStringLiteral("mailto:assistenza@velmora.example"))));
}

}  // namespace
