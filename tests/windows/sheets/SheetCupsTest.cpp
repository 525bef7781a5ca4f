// The same page printed three ways lands at the same places on paper: through
// the sheet print window and its dialog to a CUPS queue, through velmora-batch
// to that queue, and through velmora-batch into a PDF.
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/sheets/Stampa_Etichette.h"
#include "windows/sheets/Calibrazione.h"
#include "ui/PictureButton.h"

#include "windows/app/Velmora.h"
#include "print/engine/Model.h"
#include "report_ui/PrintDialog.h"
#include "core/archive/DataRecord.h"
#include "core/sheets/SheetRecord.h"
#include "support/CupsEnvironment.h"
#include "support/PdfText.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

using namespace testing_support;

namespace {

auto* const kCups =
    static_cast<CupsEnvironment*>(testing::AddGlobalTestEnvironment(new CupsEnvironment(PrivateCups::Queue::Pdf)));

struct BatchRun {
    int status;
    QString err;
};

BatchRun Batch(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VELMORA_BATCH), arguments);
    if (!process.waitForFinished(60000)) return {-1, QStringLiteral("timed out")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

class SheetCups : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(kCups->Cups().Ready()); }
    // The words of the queue's next finished job.
    std::vector<PdfWord> NextJob() {
        EXPECT_TRUE(kCups->Cups().WaitForJobs(++jobs_)) << "the job did not finish";
        const QString path = fixture.folder.File(QStringLiteral("job%1.pdf").arg(jobs_));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kCups->Cups().ReadOutput());
        file.close();
        return PdfWords(path);
    }

    AppFixture fixture;
    MessageLog log;

private:
    int jobs_ = 0;
};

void ExpectSamePlaces(const std::vector<PdfWord>& a, const std::vector<PdfWord>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_NEAR(a[i].left, b[i].left, 0.1) << a[i].text.toStdString();
        EXPECT_NEAR(a[i].top, b[i].top, 0.1) << a[i].text.toStdString();
    }
}

TEST_F(SheetCups, WindowBatchAndPdfPutTheSameTextInTheSamePlaces) {
    // A page composed and saved in the window, with slots 1, 7 and 24 filled.
    TfrmArchivio_Etichette& sheet = fixture.app->frmArchivio_Etichette();
    sheet.Present();
    for (int slot : {1, 7, 24}) {
        sheet.txtNome(slot)->setText(QStringLiteral("Nome%1").arg(slot));
        for (int line = 1; line <= 6; ++line) sheet.txtRigo(line, slot)->setText(QStringLiteral("E%1R%2").arg(slot).arg(line));
    }
    sheet.cmdSalvaClick();
    ASSERT_EQ(sheet.lblPosizione->text(), QStringLiteral("1"));

    ModalScript script;
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmStampa_Etichette&>(d).btnStampa, Qt::LeftButton); });
    script.Then([](QDialog& d) {
        auto& dialog = static_cast<report::TfrmPrintDialog&>(d);
        EXPECT_EQ(dialog.cbPrinters->currentText(), QString::fromLatin1(PrivateCups::kPrinter));
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    });
    sheet.cmdStampaClick();
    const std::vector<PdfWord> window = NextJob();

    const BatchRun printed = Batch({QStringLiteral("--folder"), fixture.folder.Path(), QStringLiteral("--printer"),
                               QString::fromLatin1(PrivateCups::kPrinter), QStringLiteral("sheet"), QStringLiteral("1")});
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();
    const std::vector<PdfWord> batch = NextJob();

    const QString pdf = OutsideFile(QStringLiteral("pagina.pdf"));
    const BatchRun written = Batch({QStringLiteral("--folder"), fixture.folder.Path(), QStringLiteral("--pdf"), pdf,
                               QStringLiteral("sheet"), QStringLiteral("1")});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    const std::vector<PdfWord> direct = PdfWords(pdf);

    ASSERT_EQ(window.size(), 18u);
    ExpectSamePlaces(window, batch);
    ExpectSamePlaces(window, direct);
    // Slot 1's first line: its box 12.0 mm from the left and 11.8 mm from the
    // top of the sheet, the text inset 2 units across and 1 unit down.
    const PdfWord first = FindWord(direct, QStringLiteral("E1R1"));
    EXPECT_NEAR(first.left, 12.0 + report::UnitsToMm(2), 0.1);
    EXPECT_NEAR(first.top, 11.8 + report::UnitsToMm(1), 0.1);
    const PdfWord last = FindWord(window, QStringLiteral("E24R6"));
    EXPECT_NEAR(last.left, 140.0 + report::UnitsToMm(2), 0.1);
    EXPECT_NEAR(last.top, 10 + 245 + 27 + report::UnitsToMm(1), 0.1);
    EXPECT_TRUE(log.messages.size() == 1u);  // the save
}

// A printer chosen in the print dialog that leaves the scheduler before OK
// gets the job or nobody does: the user is told, and no queue gets a job.
TEST_F(SheetCups, APrinterRemovedBeforeOkGetsNoJobAndNeitherDoesAnyOther) {
    const QString gone = QStringLiteral("Ufficio");
    ASSERT_TRUE(kCups->Cups().AddQueue(gone));
    TfrmArchivio_Etichette& sheet = fixture.app->frmArchivio_Etichette();
    sheet.Present();
    sheet.txtNome(1)->setText(QStringLiteral("Nome1"));
    sheet.txtRigo(1, 1)->setText(QStringLiteral("E1R1"));
    const int jobs = kCups->Cups().JobCount();

    ModalScript script;
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmStampa_Etichette&>(d).btnStampa, Qt::LeftButton); });
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<report::TfrmPrintDialog&>(d);
        dialog.cbPrinters->setCurrentText(gone);
        ASSERT_EQ(dialog.cbPrinters->currentText(), gone);
        ASSERT_TRUE(kCups->Cups().RemoveQueue(gone));
        QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    });
    sheet.cmdStampaClick();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(log.Only().toStdString(), "Printer selected is not valid");
    EXPECT_EQ(kCups->Cups().JobCount(), jobs) << "a job went to another printer";
    EXPECT_FALSE(QFile::exists(kCups->Cups().OutputFile(gone)));
}

TEST_F(SheetCups, BatchRefusesWhatDoesNotExistAndWritesNothing) {
    const QString pdf = OutsideFile(QStringLiteral("out.pdf"));
    const QString folder = fixture.folder.Path();
    struct Case {
        QStringList arguments;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--folder", folder, "--pdf", pdf, "sheet", "1"}, 1, "Archivio_Etichette.pro"},
        {{"--folder", folder, "--pdf", pdf, "record", "1"}, 1, "Archivio_Dati.pro"},
        {{"--folder", folder, "--printer", "Nessuna", "record", "1"}, 1, "la stampante scelta non è valida"},
        {{"--folder", folder, "sheet", "1"}, 2, "uso:"},
        {{"--folder", folder, "--pdf", pdf, "--printer", "x", "sheet", "1"}, 2, "uso:"},
        {{"--folder", folder, "--pdf", pdf, "sheet"}, 2, "uso:"},
        {{"--folder", folder, "--pdf", pdf, "pagina", "1"}, 2, "uso:"},
        {{"--folder", folder, "--pdf", pdf, "--copies", "0", "sheet", "1"}, 2, "uso:"},
        {{"--folder", folder + "/nessuna", "--pdf", pdf, "sheet", "1"}, 1, "nessuna"},
    };
    for (const Case& c : cases) {
        const BatchRun run = Batch(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
    }
    // It never creates an archive, nor any output, on failure.
    EXPECT_FALSE(QFile::exists(fixture.folder.File(QStringLiteral("Archivio_Etichette.pro"))));
    EXPECT_FALSE(QFile::exists(fixture.folder.File(QStringLiteral("Archivio_Dati.pro"))));
    EXPECT_FALSE(QFile::exists(pdf));

    // Page 3 of a two-page archive (with a trailing partial page) does not exist.
    fixture.folder.Write(QStringLiteral("Archivio_Etichette.pro"), QByteArray(2 * 42168 + 100, '\0'));
    const BatchRun missing = Batch({"--folder", folder, "--pdf", pdf, "sheet", "3"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("2 in archivio"))) << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(fixture.folder.Read(QStringLiteral("Archivio_Etichette.pro")).size(), 2 * 42168 + 100);

    // Two copies of a record's sheet: two identical pages.
    DataRecord record;
    record.SetText(DataRecord::Rigo01, QStringLiteral("Copia"));
    DataRecordFile(folder).Append(record);
    const BatchRun copies = Batch({"--folder", folder, "--pdf", pdf, "--copies", "2", "record", "1"});
    ASSERT_EQ(copies.status, 0) << copies.err.toStdString();
    EXPECT_EQ(PdfPageCount(pdf), 2);
}

}  // namespace

namespace {

// x' = x × scale + offset, in millimetres from the paper's top left corner.
void ExpectMoved(const std::vector<PdfWord>& before, const std::vector<PdfWord>& after, double dx, double dy,
                 double scale) {
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        // The summary's time of printing moves on between prints.
        if (before[i].text.contains(u':')) continue;
        EXPECT_EQ(after[i].text, before[i].text);
        EXPECT_NEAR(after[i].left, before[i].left * scale + dx, 0.05) << after[i].text.toStdString();
        EXPECT_NEAR(after[i].top, before[i].top * scale + dy, 0.05) << after[i].text.toStdString();
    }
}

// The calibration saved in the window goes with every label sheet printed on
// the queue, from the window and from velmora-batch, and moves every word by
// exactly its values; the envelope and the summary stay where they were.
TEST_F(SheetCups, ACalibrationSavedInTheWindowMovesEveryLabelSheetOnItsQueueAndNothingElse) {
    DataRecord record;
    record.SetText(DataRecord::Nome, QStringLiteral("Rossi"));
    for (int line = 1; line <= 6; ++line) record.SetText(DataRecord::Rigo(line), QStringLiteral("Rigo%1").arg(line));
    DataRecordFile(fixture.folder.Path()).Append(record);
    TfrmArchivio_Etichette& sheet = fixture.app->frmArchivio_Etichette();
    sheet.Present();
    for (int slot : {1, 24}) {
        sheet.txtNome(slot)->setText(QStringLiteral("Nome%1").arg(slot));
        for (int line = 1; line <= 6; ++line) sheet.txtRigo(line, slot)->setText(QStringLiteral("E%1R%2").arg(slot).arg(line));
    }
    sheet.cmdSalvaClick();

    const QString queue = QString::fromLatin1(PrivateCups::kPrinter);
    const auto printFromWindow = [&] {
        ModalScript script;
        script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmStampa_Etichette&>(d).btnStampa, Qt::LeftButton); });
        script.Then([](QDialog& d) { QTest::mouseClick(static_cast<report::TfrmPrintDialog&>(d).btnOK, Qt::LeftButton); });
        sheet.cmdStampaClick();
        EXPECT_TRUE(script.Done());
        return NextJob();
    };
    const auto printFromBatch = [&](const QStringList& verb) {
        const BatchRun run = Batch(QStringList{"--folder", fixture.folder.Path(), "--printer", queue} + verb);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return NextJob();
    };
    const auto everything = [&] {
        return std::vector<std::vector<PdfWord>>{printFromWindow(), printFromBatch({"sheet", "1"}),
                                                 printFromBatch({"record", "1"}), printFromBatch({"envelope", "1"}),
                                                 printFromBatch({"summary"})};
    };
    const auto save = [&](const QStringList& values) {
        ModalScript script;
        script.Then([&](QDialog& d) {
            auto& w = static_cast<TfrmCalibrazione&>(d);
            ASSERT_EQ(w.cboStampante->currentText(), queue);
            const std::array<QLineEdit*, 4> boxes = {w.txtSpostamentoX, w.txtSpostamentoY, w.txtScalaX, w.txtScalaY};
            for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setText(values[int(i)]);
            QTest::mouseClick(w.btnSalva, Qt::LeftButton);
        });
        sheet.cmdCalibra->click();
        EXPECT_TRUE(script.Done());
    };

    const std::vector<std::vector<PdfWord>> plain = everything();
    save({"1,5", "-0,8", "100", "100"});
    const std::vector<std::vector<PdfWord>> moved = everything();
    save({"0", "0", "100,5", "100,5"});
    const std::vector<std::vector<PdfWord>> stretched = everything();
    for (std::size_t i = 0; i < plain.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_FALSE(plain[i].empty());
        const bool labelSheet = i < 3;
        ExpectMoved(plain[i], moved[i], labelSheet ? 1.5 : 0, labelSheet ? -0.8 : 0, 1);
        ExpectMoved(plain[i], stretched[i], 0, 0, labelSheet ? 1.005 : 1);
    }
}

}  // namespace
