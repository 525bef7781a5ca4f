#include "support/FakePrinters.h"
#include "support/Templates.h"

#include "report_ui/Print.h"
#include "report_ui/PrintDialog.h"
#include "ui/Application.h"
#include "support/AccessibleTree.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <optional>

namespace report_tests {
namespace {

using testing_support::MessageLog;
using testing_support::ModalScript;

TfrmPrintDialog& AsPrintDialog(QDialog& dialog) { return dynamic_cast<TfrmPrintDialog&>(dialog); }

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

class PrintDialogTest : public testing::Test {
protected:
    void SetUp() override {
        testing_support::EnsureApplication();
        // Five pages, a whole master band each.
        report = NewReport();
        auto& band = PageOf(*report).Add<TrepMasterData>(QStringLiteral("MasterData"));
        band.Height = MmToUnits(277);
        band.RowCount = 5;
        ASSERT_TRUE(report->PrepareReport(true));
        ASSERT_EQ(report->PreparedPages().size(), 5u);
        fake.printers->first = &report->PreparedPages()[0];
    }
    UseFakePrinters fake{{"First", "Second", "Third"}, "First"};
    std::unique_ptr<TrepReport> report;
    MessageLog log;
    testing_support::TempFolder folder;
};

TEST_F(PrintDialogTest, ShowsEveryGroupWithItsInitialValues) {
    ModalScript script;
    script.Then([&](QDialog& dialog) {
        TfrmPrintDialog& d = AsPrintDialog(dialog);
        EXPECT_TRUE(dialog.isModal());
        QStringList groups;
        for (const QGroupBox* box : dialog.findChildren<QGroupBox*>()) groups << box->title();
        EXPECT_EQ(groups, QStringList({"Stampante", "Pagine", "Copie", "Altro", "Modalità di stampa"}));
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
        for (const char* text : {"Nome:", "Percorso:", "Numero di copie", "Stampa", "Ordine", "Fronte/retro",
                                 "Stampa sul foglio",
                                 "Immettere i numeri di pagina e/o gli intervalli di pagine, separati da virgole. "
                                 "Ad esempio, 1,3,5-12"}) {
            EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
        }
        EXPECT_EQ(Items(d.cbPrinters), QStringList({"First", "Second", "Third"}));
        EXPECT_EQ(d.cbPrinters->currentText(), QStringLiteral("First"));
        EXPECT_EQ(d.lblWhere->text(), QStringLiteral("port of First"));
        EXPECT_EQ(d.btnProperties->text(), QStringLiteral("Proprietà..."));
        EXPECT_EQ(d.chkPrintToFile->text(), QStringLiteral("Stampa su file"));
        EXPECT_FALSE(d.chkPrintToFile->isChecked());
        EXPECT_EQ(d.optAll->text(), QStringLiteral("Tutte"));
        EXPECT_EQ(d.optCurrent->text(), QStringLiteral("Pagina corrente"));
        EXPECT_EQ(d.optPages->text(), QStringLiteral("Pagine:"));
        EXPECT_TRUE(d.optAll->isChecked());
        EXPECT_EQ(d.txtCopies->text(), QStringLiteral("1"));
        EXPECT_EQ(d.chkCollate->text(), QStringLiteral("Fascicola"));
        EXPECT_TRUE(d.chkCollate->isChecked());
        EXPECT_EQ(Items(d.cbWhich), QStringList({"Tutte le pagine", "Pagine dispari", "Pagine pari"}));
        EXPECT_EQ(d.cbWhich->currentIndex(), 0);
        EXPECT_EQ(Items(d.cbOrder), QStringList({"Diretto (1-9)", "Inverso (9-1)"}));
        EXPECT_EQ(d.cbOrder->currentIndex(), 0);
        EXPECT_EQ(Items(d.cbDuplex), QStringList({"Predefinito", "Verticale", "Orizzontale", "Solo fronte"}));
        EXPECT_EQ(d.cbDuplex->currentIndex(), 0);
        EXPECT_EQ(Items(d.cbPrintMode), QStringList({"Predefinito", "Dividi le pagine grandi", "Unisci le pagine piccole", "Adatta al foglio"}));
        EXPECT_FALSE(d.cbPrintMode->isEnabled());
        EXPECT_FALSE(d.cbPrintOnSheet->isEnabled());
        EXPECT_EQ(d.btnOK->text(), QStringLiteral("OK"));
        EXPECT_TRUE(d.btnOK->isDefault());
        EXPECT_EQ(d.btnCancel->text(), QStringLiteral("Annulla"));

        // The printer's own settings, and typing a range picks "Pages:".
        QTest::mouseClick(d.btnProperties, Qt::LeftButton);
        QTest::keyClicks(d.txtPages, QStringLiteral("2"));
        EXPECT_TRUE(d.optPages->isChecked());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible()) << "Esc cancels";
    });
    script.Then([](QDialog& dialog) { EXPECT_NE(dynamic_cast<TfrmPrinterProperties*>(&dialog), nullptr); });
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::Cancelled);
    EXPECT_EQ(script.opened.size(), 2u);
    EXPECT_EQ(script.opened[0], QStringLiteral("Stampa"));
    EXPECT_TRUE(fake.printers->jobs.empty());
}

// "Properties..." shows the selected printer's options; what is chosen there
// goes with this print only, and choosing another printer forgets it.
// Through the accessibility layer a screen reader reads: every control of
// the print dialog and of the printer's settings has a name and its action.
TEST_F(PrintDialogTest, EveryControlIsNamedAndActs) {
    const PrinterOption tray{"InputSlot", QStringLiteral("Media Source"),
                             {{"Auto", QStringLiteral("Automatic")}, {"Manual", QStringLiteral("Manual Feed")}},
                             "Auto"};
    fake.printers->options[QStringLiteral("First")] = {tray};
    ModalScript script;
    script.Then([&](QDialog& dialog) {
        const auto controls = testing_support::AccessibleControls(dialog);
        EXPECT_GE(controls.size(), 15) << "the print dialog's controls";
        EXPECT_EQ(testing_support::Unusable(controls).join(u'\n').toStdString(), "");
        QTest::mouseClick(AsPrintDialog(dialog).btnProperties, Qt::LeftButton);
        dialog.reject();
    });
    script.Then([](QDialog& dialog) {
        const auto controls = testing_support::AccessibleControls(dialog);
        EXPECT_GE(controls.size(), 3) << "the settings' list and buttons";
        EXPECT_EQ(testing_support::Unusable(controls).join(u'\n').toStdString(), "");
    });
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::Cancelled);
    EXPECT_TRUE(script.Done());
}

TEST_F(PrintDialogTest, PropertiesGoWithThisPrintOnItsPrinter) {
    const PrinterOption tray{"InputSlot", QStringLiteral("Media Source"),
                             {{"Auto", QStringLiteral("Automatic")}, {"Manual", QStringLiteral("Manual Feed")}},
                             "Auto"};
    const PrinterOption quality{"Resolution", QStringLiteral("Resolution"),
                                {{"300dpi", QStringLiteral("300 dpi")}, {"600dpi", QStringLiteral("600 dpi")}},
                                "600dpi"};
    fake.printers->options[QStringLiteral("First")] = {tray, quality};
    fake.printers->options[QStringLiteral("Second")] = {tray};
    // Each print: the printer to choose last, the choices made in
    // "Properties..." on First, and the settings the job gets.
    struct Case {
        const char* printer;
        std::vector<int> choices;  // index per list; -1 leaves the default
        PrinterSettings expected;
    };
    const Case cases[] = {
        {"First", {1, -1}, {{"InputSlot", "Manual"}}},
        {"First", {1, 0}, {{"InputSlot", "Manual"}, {"Resolution", "300dpi"}}},
        {"First", {0, 1}, {}},
        {"Second", {1, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printer);
        ModalScript script;
        script.Then([&](QDialog& dialog) {
            TfrmPrintDialog& d = AsPrintDialog(dialog);
            d.cbPrinters->setCurrentText(QStringLiteral("First"));
            QTest::mouseClick(d.btnProperties, Qt::LeftButton);
            d.cbPrinters->setCurrentText(QString::fromLatin1(c.printer));
            QTest::mouseClick(d.btnOK, Qt::LeftButton);
        });
        script.Then([&](QDialog& dialog) {
            auto& p = dynamic_cast<TfrmPrinterProperties&>(dialog);
            ASSERT_EQ(p.lists.size(), 2u);
            EXPECT_EQ(p.lists[0]->objectName(), QStringLiteral("InputSlot"));
            EXPECT_EQ(Items(p.lists[0]), QStringList({"Automatic", "Manual Feed"}));
            EXPECT_EQ(p.lists[0]->currentText(), QStringLiteral("Automatic"));
            EXPECT_EQ(p.lists[1]->currentText(), QStringLiteral("600 dpi"));
            for (std::size_t i = 0; i < c.choices.size(); ++i)
                if (c.choices[i] >= 0) p.lists[i]->setCurrentIndex(c.choices[i]);
            QTest::mouseClick(p.btnOK, Qt::LeftButton);
        });
        fake.printers->jobs.clear();
        EXPECT_TRUE(Print(*report, folder.Folder()).Printed());
        ASSERT_EQ(fake.printers->jobs.size(), 1u);
        EXPECT_EQ(fake.printers->jobs[0].printer, QString::fromLatin1(c.printer));
        EXPECT_EQ(fake.printers->jobs[0].settings, c.expected);
        EXPECT_TRUE(script.Done());
    }
}

TEST_F(PrintDialogTest, CancelPrintsNothingAndRestoresPrinterAndChoices) {
    ModalScript script;
    script.Then([](QDialog& dialog) {
        TfrmPrintDialog& d = AsPrintDialog(dialog);
        d.cbPrinters->setCurrentText(QStringLiteral("Third"));
        EXPECT_EQ(SelectedPrinter(), QStringLiteral("Third")) << "choosing selects at once";
        EXPECT_EQ(d.lblWhere->text(), QStringLiteral("port of Third"));
        d.txtCopies->setValue(3);
        d.optPages->setChecked(true);
        d.txtPages->setText(QStringLiteral("2-3"));
        QTest::mouseClick(d.btnCancel, Qt::LeftButton);
    });
    script.Then([](QDialog& dialog) {
        TfrmPrintDialog& d = AsPrintDialog(dialog);
        EXPECT_EQ(d.cbPrinters->currentText(), QStringLiteral("First"));
        EXPECT_EQ(d.txtCopies->text(), QStringLiteral("1"));
        EXPECT_TRUE(d.optAll->isChecked());
        QTest::mouseClick(d.btnCancel, Qt::LeftButton);
    });
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::Cancelled);
    EXPECT_EQ(SelectedPrinter(), QStringLiteral("First"));
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::Cancelled);
    EXPECT_TRUE(fake.printers->jobs.empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(PrintDialogTest, OkPrintsTheChoicesOnceAndTheChosenPrinterStays) {
    ModalScript script;
    script.Then([](QDialog& dialog) {
        TfrmPrintDialog& d = AsPrintDialog(dialog);
        d.cbPrinters->setCurrentText(QStringLiteral("Second"));
        d.optPages->setChecked(true);
        d.txtPages->setText(QStringLiteral("1,3-5"));
        d.cbWhich->setCurrentIndex(1);  // odd
        d.cbOrder->setCurrentIndex(1);  // reverse
        d.txtCopies->setValue(2);
        d.chkCollate->setChecked(false);
        d.cbDuplex->setCurrentIndex(2);  // horizontal
        QTest::mouseClick(d.btnOK, Qt::LeftButton);
    });
    script.Then([](QDialog& dialog) {
        TfrmPrintDialog& d = AsPrintDialog(dialog);
        EXPECT_EQ(d.cbPrinters->currentText(), QStringLiteral("Second"));
        EXPECT_TRUE(d.optAll->isChecked());
        EXPECT_EQ(d.txtCopies->value(), 1);
        EXPECT_TRUE(d.chkCollate->isChecked());
        EXPECT_EQ(d.cbOrder->currentIndex(), 0);
        EXPECT_EQ(d.cbDuplex->currentIndex(), 2) << "duplex stays with the template";
        d.optCurrent->setChecked(true);
        QTest::mouseClick(d.btnOK, Qt::LeftButton);
    });
    EXPECT_TRUE(Print(*report, folder.Folder()).Printed());
    EXPECT_TRUE(Print(*report, folder.Folder(), 4).Printed());
    ASSERT_EQ(fake.printers->jobs.size(), 2u);
    EXPECT_EQ(fake.printers->jobs[0].printer, QStringLiteral("Second"));
    EXPECT_EQ(fake.printers->jobs[0].pages, std::vector<int>({4, 4, 2, 2, 0, 0}));
    EXPECT_EQ(fake.printers->jobs[0].duplex, dmHorizontal);
    EXPECT_TRUE(fake.printers->jobs[0].outputFile.isEmpty());
    EXPECT_EQ(fake.printers->jobs[1].pages, std::vector<int>({3}));
    EXPECT_EQ(report->PrintOptions.Copies, 1);
    EXPECT_EQ(SelectedPrinter(), QStringLiteral("Second"));
}

// What a print to file writes is a PDF, and the file dialog offers it as one;
// a printer file (.prn) is still accepted, and its filter gives a bare name
// its ending.
TEST_F(PrintDialogTest, PrintToFileAsksForAPdfFile) {
    QTemporaryDir dir;
    ModalScript script;
    auto okToFile = [](QDialog& dialog) {
        AsPrintDialog(dialog).chkPrintToFile->setChecked(true);
        QTest::mouseClick(AsPrintDialog(dialog).btnOK, Qt::LeftButton);
    };
    script.Then(okToFile).Then([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(files.nameFilters(), QStringList({"File PDF (*.pdf)", "File di stampa (*.prn)"}));
        EXPECT_EQ(files.selectedNameFilter(), QStringLiteral("File PDF (*.pdf)"));
        files.selectFile(dir.filePath(QStringLiteral("etichette")));
        dialog.accept();
    });
    script.Then(okToFile).Then([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        files.selectNameFilter(QStringLiteral("File di stampa (*.prn)"));
        emit files.filterSelected(files.selectedNameFilter());
        files.selectFile(dir.filePath(QStringLiteral("copia")));
        dialog.accept();
    });
    script.Then(okToFile).Then([](QDialog& dialog) { dialog.reject(); });
    EXPECT_TRUE(Print(*report, folder.Folder()).Printed());
    EXPECT_TRUE(Print(*report, folder.Folder()).Printed());
    EXPECT_EQ(script.opened, std::vector<QString>({"Stampa", "Stampa su file", "Stampa", "Stampa su file"}));
    ASSERT_EQ(fake.printers->jobs.size(), 2u);
    EXPECT_EQ(fake.printers->jobs[0].outputFile, dir.filePath(QStringLiteral("etichette.pdf")));
    EXPECT_EQ(fake.printers->jobs[1].outputFile, dir.filePath(QStringLiteral("copia.prn")));
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::Cancelled) << "cancelling the file dialog prints nothing";
    EXPECT_EQ(fake.printers->jobs.size(), 2u);
}

// What OK says about the choices made, in the print dialog and in the file
// dialog of a print to file: a range with no page is told in the print
// dialog, a file that would be replaced is asked about by the name that will
// be written, and a file of the program folder is refused; each dialog stays
// open for another choice. Each case: the choices, then every name typed in
// the file dialog (the last one given up when the dialog is still open), the
// answers to the questions, what was said, and the file printed into
// (empty: the printer; none: nothing printed).
TEST_F(PrintDialogTest, OkChecksTheRangeAndTheFileItWillWrite) {
    folder.Write(QStringLiteral("Archivio_Dati.pro"), "schede");
    folder.Write(QStringLiteral("Archivio_Etichette.pro"), "pagine");
    folder.Write(QStringLiteral("Archivio_Etichette.pro.pdf"), "stampa di ieri");
    folder.Write(QStringLiteral("vecchia.prn"), "stampa di ieri");
    ASSERT_TRUE(QDir(folder.Path()).mkpath(QStringLiteral("Documenti_Allegati")));
    folder.Write(QStringLiteral("Documenti_Allegati/fattura.prn"), "allegato");
    ASSERT_TRUE(QFile::link(folder.File(QStringLiteral("Archivio_Dati.pro")), folder.File(QStringLiteral("link.prn"))));
    // Qt's own question, in the language Qt's dialogs speak: the program's.
    const QString replace = QStringLiteral("%1 esiste già.\nVuoi sostituirlo?");
    const QString refused = QStringLiteral("%1 è un file della cartella del programma (%2): non viene sovrascritto");
    const QString noPage = QStringLiteral("Nessuna pagina nell'intervallo");
    const std::optional<QString> nothing;
    struct Case {
        const char* what;
        const char* pages;  // typed in "Pages:"; null: "All"
        PrintChoices::Which which;
        QStringList names;  // typed in the file dialog; empty: no print to file
        std::deque<ui::Answer> answers;
        QStringList said;
        std::optional<QString> printedInto;
    };
    const Case cases[] = {
        {"a page past the end", "6", PrintChoices::Which::All, {}, {}, {noPage}, QString()},
        {"no page number", "abc", PrintChoices::Which::All, {}, {}, {noPage}, QString()},
        {"no even page in the range", "3", PrintChoices::Which::Even, {}, {}, {noPage}, QString()},
        {"another ending gets .pdf, and that file is new", nullptr, PrintChoices::Which::All,
         {"Archivio_Dati.pro"}, {}, {}, folder.File(QStringLiteral("Archivio_Dati.pro.pdf"))},
        {"the file checked is the file written", nullptr, PrintChoices::Which::All, {"Archivio_Etichette.pro"}, {},
         {refused.arg(folder.File(QStringLiteral("Archivio_Etichette.pro.pdf")),
                      QStringLiteral("Archivio_Etichette.pro.pdf"))},
         nothing},
        {"an existing file is replaced when the user says so", nullptr, PrintChoices::Which::All,
         {"vecchia.prn", "vecchia.prn"}, {ui::Answer::No, ui::Answer::Yes},
         {replace.arg("vecchia.prn"), replace.arg("vecchia.prn")}, folder.File(QStringLiteral("vecchia.prn"))},
        {"a link to the data archive", nullptr, PrintChoices::Which::All, {"link.prn"}, {},
         {refused.arg(folder.File(QStringLiteral("link.prn")), QStringLiteral("Archivio_Dati.pro"))}, nothing},
        {"an attached document, then a new file", nullptr, PrintChoices::Which::All,
         {"Documenti_Allegati/fattura.prn", "nuova"}, {},
         {refused.arg(folder.File(QStringLiteral("Documenti_Allegati/fattura.prn")),
                      QStringLiteral("Documenti_Allegati/fattura.prn"))},
         folder.File(QStringLiteral("nuova.pdf"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.printers->jobs.clear();
        log.Clear();
        log.answers = c.answers;
        ModalScript script;
        script.Then([&](QDialog& dialog) {
            TfrmPrintDialog& d = AsPrintDialog(dialog);
            if (c.pages) {
                d.optPages->setChecked(true);
                d.txtPages->setText(QString::fromLatin1(c.pages));
            }
            d.cbWhich->setCurrentIndex(int(c.which));
            d.chkPrintToFile->setChecked(!c.names.isEmpty());
            QTest::mouseClick(d.btnOK, Qt::LeftButton);
            if (dialog.result() == QDialog::Accepted) return;
            // Still open: every page this time.
            d.optAll->setChecked(true);
            d.cbWhich->setCurrentIndex(0);
            QTest::mouseClick(d.btnOK, Qt::LeftButton);
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        });
        if (!c.names.isEmpty()) {
            script.Then([&](QDialog& dialog) {
                for (const QString& name : c.names) {
                    dynamic_cast<QFileDialog&>(dialog).selectFile(folder.File(name));
                    dialog.accept();
                    if (dialog.result() == QDialog::Accepted) return;
                }
                dialog.reject();
            });
        }
        const PrintOutcome outcome = Print(*report, folder.Folder());
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(log.Texts().join(u'|').toStdString(), c.said.join(u'|').toStdString());
        EXPECT_TRUE(log.answers.empty()) << "a question was not asked";
        if (!c.printedInto) {
            EXPECT_EQ(outcome.status, PrintOutcome::Status::Cancelled);
            EXPECT_TRUE(fake.printers->jobs.empty());
            continue;
        }
        EXPECT_TRUE(outcome.Printed());
        ASSERT_EQ(fake.printers->jobs.size(), 1u);
        EXPECT_EQ(fake.printers->jobs[0].outputFile, *c.printedInto);
        EXPECT_EQ(fake.printers->jobs[0].pages, std::vector<int>({0, 1, 2, 3, 4}));
    }
    // Nothing of the folder was touched by the questions.
    EXPECT_EQ(folder.Read(QStringLiteral("Archivio_Dati.pro")), "schede");
    EXPECT_EQ(folder.Read(QStringLiteral("Archivio_Etichette.pro.pdf")), "stampa di ieri");
}

// In an Italian locale Qt's own dialogs and the print path's texts speak
// Italian; with no translation both are as written.
TEST_F(PrintDialogTest, PrintToFileDialogSpeaksTheLocalesLanguage) {
    struct Case {
        QLocale locale;
        QStringList buttons;
        const char* cancel;
        std::vector<QString> titles;
    };
    const Case cases[] = {
        {QLocale::c(), {"Save", "Cancel"}, "Cancel", {"Print", "Print to file"}},
        {QLocale(QLocale::Italian, QLocale::Italy), {"Salva", "Annulla"}, "Annulla", {"Stampa", "Stampa su file"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        EXPECT_EQ(ui::TranslateQt(c.locale), c.locale.language() == QLocale::Italian);
        ModalScript script;
        script.Then([&](QDialog& dialog) {
            EXPECT_EQ(AsPrintDialog(dialog).btnCancel->text(), QString::fromLatin1(c.cancel));
            AsPrintDialog(dialog).chkPrintToFile->setChecked(true);
            QTest::mouseClick(AsPrintDialog(dialog).btnOK, Qt::LeftButton);
        });
        script.Then([&](QDialog& dialog) {
            const auto* box = dialog.findChild<QDialogButtonBox*>();
            ASSERT_NE(box, nullptr);
            QStringList texts;
            for (const QAbstractButton* button : box->buttons()) texts << button->text().remove(QLatin1Char('&'));
            EXPECT_EQ(texts, c.buttons);
            dialog.reject();
        });
        EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::Cancelled);
        EXPECT_EQ(script.opened, c.titles);
    }
}

TEST_F(PrintDialogTest, WithoutDialogPrintsThePrintOptionsOnTheNamedPrinter) {
    report->PrintOptions.ShowDialog = false;
    report->PrintOptions.Printer = QStringLiteral("tHIRD");
    report->PrintOptions.PageNumbers = QStringLiteral("2-3");
    report->PrintOptions.Copies = 2;
    EXPECT_TRUE(Print(*report, folder.Folder()).Printed());
    ASSERT_EQ(fake.printers->jobs.size(), 1u);
    EXPECT_EQ(fake.printers->jobs[0].printer, QStringLiteral("Third"));
    EXPECT_EQ(fake.printers->jobs[0].pages, std::vector<int>({1, 2, 1, 2}));
}

TEST_F(PrintDialogTest, RefusalsAndFailuresAreOutcomesAndNothingIsShown) {
    ModalScript script;
    script.Then([](QDialog& dialog) { QTest::mouseClick(AsPrintDialog(dialog).btnOK, Qt::LeftButton); });
    fake.printers->unusable = QStringList{"First"};
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::InvalidPrinter);
    EXPECT_TRUE(fake.printers->jobs.empty());

    fake.printers->unusable.clear();
    fake.printers->spoolerFails = true;
    report->PrintOptions.ShowDialog = false;
    const PrintOutcome failed = Print(*report, folder.Folder());
    EXPECT_EQ(failed.status, PrintOutcome::Status::Failed);
    EXPECT_EQ(failed.error, QStringLiteral("spooler failed"));

    fake.printers->names.clear();
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::NoPrinters);
    EXPECT_TRUE(log.messages.empty()) << "the windows tell the user";
    EXPECT_TRUE(script.Done());
}

}  // namespace
}  // namespace report_tests
