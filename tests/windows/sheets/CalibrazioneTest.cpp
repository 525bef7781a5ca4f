// The calibration window: the printers, the values stored for each, the test
// sheet with the values as they stand, the values saved for every copy of the
// program; and the label sheets, not the envelope, printed through them.
#include "windows/sheets/Calibrazione.h"

#include "core/sheets/Calibration.h"
#include "print/templates/CalibrationSheet.h"
#include "report_ui/PrintDialog.h"
#include "support/FakePrinters.h"
#include "support/TestSupport.h"
#include "ui/PictureButton.h"
#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/archive/StampaBusta.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/sheets/Stampa_Etichette.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

const QString kSettings = QStringLiteral("Impostazioni.ini");
// A settings file as another program may have left it: other sections, CR LF.
const QByteArray kOtherSettings = "[Margini Busta]\r\nSuperiore=12\r\nSinistro=-3\r\n\r\n[Stampa Busta]\r\n"
                                  "Orientamento=Orizzontale\r\n";

QStringList Values(const TfrmCalibrazione& w) {
    return {w.txtSpostamentoX->text(), w.txtSpostamentoY->text(), w.txtScalaX->text(), w.txtScalaY->text()};
}

void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

class Calibrazione : public ::testing::Test {
protected:
    Calibrazione() : printers({QStringLiteral("Ufficio"), QStringLiteral("Magazzino")}, QStringLiteral("Magazzino")) {
        fixture.folder.Write(kSettings, kOtherSettings);
        sheet = &fixture.app->frmArchivio_Etichette();
        sheet->Present();
    }
    // Opens the window with the label sheet window's command and acts on it.
    void Open(const std::function<void(TfrmCalibrazione&)>& act) {
        script.Then([&](QDialog& d) {
            QApplication::setActiveWindow(&d);
            act(static_cast<TfrmCalibrazione&>(d));
        });
        sheet->cmdCalibra->click();
        EXPECT_TRUE(script.Done());
    }

    AppFixture fixture;
    UseFakePrinters printers;
    MessageLog log;
    ModalScript script;
    TfrmArchivio_Etichette* sheet;
};

TEST_F(Calibrazione, ShowsEachPrintersStoredValuesTheDefaultFirst) {
    calibration::Write(fixture.folder.Folder(), QStringLiteral("Ufficio"), {15, -8, 1004, 998});
    Open([](TfrmCalibrazione& w) {
        ASSERT_EQ(w.cboStampante->count(), 2);
        EXPECT_EQ(w.cboStampante->itemText(0), QStringLiteral("Magazzino"));
        EXPECT_EQ(Values(w), QStringList({"0", "0", "100", "100"}));
        w.cboStampante->setCurrentIndex(1);
        EXPECT_EQ(Values(w), QStringList({"1,5", "-0,8", "100,4", "99,8"}));
        EXPECT_EQ(QApplication::focusWidget(), w.cboStampante);
    });
    EXPECT_TRUE(log.messages.empty());
}

// Salva stores the values of the printer chosen, leaving the rest of the file
// byte for byte; another copy of the program reads them back.
TEST_F(Calibrazione, SavedValuesAreWhatEveryCopyReadsAndTheRestOfTheFileStays) {
    Open([](TfrmCalibrazione& w) {
        w.cboStampante->setCurrentText(QStringLiteral("Ufficio"));
        Type(w.txtSpostamentoX, QStringLiteral("1,5"));
        Type(w.txtSpostamentoY, QStringLiteral("-0.8"));
        Type(w.txtScalaX, QStringLiteral("100,45"));
        QTest::mouseClick(w.btnSalva, Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
    });
    const QByteArray after = fixture.folder.Read(kSettings);
    EXPECT_EQ(after, kOtherSettings + "[Calibrazione]\r\nUfficio=1.5,-0.8,100.5,100\r\n");
    EXPECT_EQ(calibration::Read(fixture.folder.Folder(), QStringLiteral("UFFICIO")),
              (calibration::Calibration{15, -8, 1005, 1000}));

    Velmora second(fixture.folder.Folder());
    script.Then([](QDialog& d) {
        auto& w = static_cast<TfrmCalibrazione&>(d);
        w.cboStampante->setCurrentText(QStringLiteral("Ufficio"));
        EXPECT_EQ(Values(w), QStringList({"1,5", "-0,8", "100,5", "100"}));
    });
    second.frmArchivio_Etichette().cmdCalibraClick();
    EXPECT_TRUE(script.Done());
}

// A wrong value is named, nothing is saved or printed, the box takes the focus.
TEST_F(Calibrazione, AWrongValueIsToldAndNothingIsSavedOrPrinted) {
    struct Case {
        QLineEdit* TfrmCalibrazione::*box;
        QString typed;
        QString told;
    };
    const Case cases[] = {
        {&TfrmCalibrazione::txtSpostamentoX, "10,1",
         "Attenzione: valore non valido per \"Spostamento orizzontale\"\r\n\r\nspostamento fuori dai limiti: 10,1 mm "
         "(da -10 a 10)."},
        {&TfrmCalibrazione::txtSpostamentoY, "due",
         "Attenzione: valore non valido per \"Spostamento verticale\"\r\n\r\n\"due\" non è un numero."},
        {&TfrmCalibrazione::txtScalaX, "97,9",
         "Attenzione: valore non valido per \"Scala orizzontale\"\r\n\r\nscala fuori dai limiti: 97,9 % (da 98 a 102)."},
        {&TfrmCalibrazione::txtScalaY, "", "Attenzione: valore non valido per \"Scala verticale\"\r\n\r\n\"\" non è un "
                                           "numero."},
    };
    for (const Case& c : cases) {
        for (QPushButton* TfrmCalibrazione::*button : {&TfrmCalibrazione::btnSalva, &TfrmCalibrazione::btnProva}) {
            log.Clear();
            Open([&](TfrmCalibrazione& w) {
                Type(w.*c.box, c.typed);
                EXPECT_EQ((w.*c.box)->text(), c.typed);
                QTest::mouseClick(w.*button, Qt::LeftButton);
                EXPECT_TRUE(w.isVisible());
                EXPECT_EQ(QApplication::focusWidget(), w.*c.box);
            });
            EXPECT_EQ(log.Only(), c.told);
        }
    }
    EXPECT_EQ(fixture.folder.Read(kSettings), kOtherSettings);
    EXPECT_TRUE(printers.printers->jobs.empty());
}

// The test sheet goes to the printer chosen, drawn through the values as they
// stand, which are not saved by it.
TEST_F(Calibrazione, TheTestSheetPrintsWithTheValuesAsTheyStand) {
    Open([](TfrmCalibrazione& w) {
        w.cboStampante->setCurrentText(QStringLiteral("Ufficio"));
        Type(w.txtSpostamentoY, QStringLiteral("2"));
        Type(w.txtScalaY, QStringLiteral("101,5"));
        QTest::mouseClick(w.btnProva, Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
    });
    ASSERT_EQ(printers.printers->jobs.size(), 1u);
    EXPECT_EQ(printers.printers->jobs[0].printer, QStringLiteral("Ufficio"));
    EXPECT_EQ(printers.printers->jobs[0].calibration, (calibration::Calibration{0, 20, 1000, 1015}));
    EXPECT_EQ(log.Only(), QStringLiteral("Il foglio di prova è stato mandato alla stampante Ufficio."));
    EXPECT_EQ(fixture.folder.Read(kSettings), kOtherSettings);

    printers.printers->spoolerFails = true;
    log.Clear();
    Open([](TfrmCalibrazione& w) { QTest::mouseClick(w.btnProva, Qt::LeftButton); });
    EXPECT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].kind, ui::Kind::Error);
}

TEST_F(Calibrazione, WithNoPrinterThereIsNothingToCalibrate) {
    UseFakePrinters none({});
    Open([](TfrmCalibrazione& w) {
        EXPECT_EQ(w.cboStampante->count(), 0);
        QTest::mouseClick(w.btnSalva, Qt::LeftButton);
        QTest::mouseClick(w.btnProva, Qt::LeftButton);
    });
    EXPECT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(fixture.folder.Read(kSettings), kOtherSettings);
}

TEST_F(Calibrazione, EnterCyclesThroughThePrinterAndTheFourValues) {
    Open([](TfrmCalibrazione& w) {
        const std::vector<QWidget*> cycle = {w.cboStampante, w.txtSpostamentoX, w.txtSpostamentoY, w.txtScalaX,
                                             w.txtScalaY, w.cboStampante};
        for (std::size_t i = 0; i + 1 < cycle.size(); ++i) {
            EXPECT_EQ(QApplication::focusWidget(), cycle[i]) << i;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        EXPECT_EQ(QApplication::focusWidget(), cycle.back());
    });
}

// A label sheet goes to its printer with that printer's calibration; the
// envelope never has one.
TEST_F(Calibrazione, LabelSheetsPrintThroughTheirPrintersCalibrationAndEnvelopesDoNot) {
    const calibration::Calibration ufficio{15, -8, 1005, 1000};
    calibration::Write(fixture.folder.Folder(), QStringLiteral("Ufficio"), ufficio);
    calibration::Write(fixture.folder.Folder(), QStringLiteral("Magazzino"), {-20, 0, 1000, 1000});
    const auto choose = [](const QString& printer) {
        return [printer](QDialog& d) {
            auto& dialog = static_cast<report::TfrmPrintDialog&>(d);
            dialog.cbPrinters->setCurrentText(printer);
            QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        };
    };
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmStampa_Etichette&>(d).btnStampa, Qt::LeftButton); })
        .Then(choose(QStringLiteral("Ufficio")));
    sheet->cmdStampaClick();

    DataRecord record;
    record.SetText(DataRecord::Nome, QStringLiteral("Rossi"));
    record.SetText(DataRecord::Rigo01, QStringLiteral("Via Roma 1"));
    DataRecordFile(fixture.folder.Path()).Append(record);
    TfrmArchivio_Indirizzi& archive = fixture.app->frmArchivio_Indirizzi();
    archive.Present();
    archive.cmdPrimoClick();
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmStampaBusta&>(d).btnStampa, Qt::LeftButton); })
        .Then(choose(QStringLiteral("Ufficio")));
    archive.cmdStampaClick();
    EXPECT_TRUE(script.Done());

    ASSERT_EQ(printers.printers->jobs.size(), 2u);
    EXPECT_EQ(printers.printers->jobs[0].printer, QStringLiteral("Ufficio"));
    EXPECT_EQ(printers.printers->jobs[0].calibration, ufficio);
    EXPECT_EQ(printers.printers->jobs[1].printer, QStringLiteral("Ufficio"));
    EXPECT_TRUE(printers.printers->jobs[1].calibration.IsNone());
}

}  // namespace
