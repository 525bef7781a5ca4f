// An envelope lands at the same places on paper whether the envelope window
// prints it through its print dialog to a CUPS queue, or velmora-batch prints
// the same record with the settings the window saved, to that queue or into a
// PDF.
#include "windows/archive/StampaBusta.h"

#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/DataRecord.h"
#include "batch/Batch.h"
#include "print/engine/Layout.h"
#include "report_ui/PrintDialog.h"
#include "support/CupsEnvironment.h"
#include "support/PdfText.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextStream>

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

auto* const kCups =
    static_cast<CupsEnvironment*>(testing::AddGlobalTestEnvironment(new CupsEnvironment(PrivateCups::Queue::Pdf)));

class EnvelopeCups : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kCups->Cups().Ready());
        DataRecord record;
        record.SetText(DataRecord::Nome, QStringLiteral("Busta"));
        for (int line = 1; line <= 6; ++line)
            record.SetText(DataRecord::Rigo(line), QStringLiteral("Rigo%1").arg(line));
        DataRecordFile(fixture.folder.Path()).Append(record);
        archive = &fixture.app->frmArchivio_Indirizzi();
        archive->Present();
        archive->cmdPrimoClick();
    }

    // The words of the queue's next finished job.
    std::vector<PdfWord> NextJob() {
        EXPECT_TRUE(kCups->Cups().WaitForJobs(++jobs_)) << "the job did not finish";
        const QString name = QStringLiteral("job%1.pdf").arg(jobs_);
        fixture.folder.Write(name, kCups->Cups().ReadOutput());
        return PdfWords(fixture.folder.File(name));
    }

    // The envelope window: `adjust` works on it, then Stampa and OK in the
    // print dialog on the private queue.
    std::vector<PdfWord> PrintFromWindow(const std::function<void(TfrmStampaBusta&)>& adjust) {
        ModalScript script;
        script.Then([&](QDialog& d) {
            auto& window = dynamic_cast<TfrmStampaBusta&>(d);
            adjust(window);
            QTest::mouseClick(window.btnStampa, Qt::LeftButton);
        });
        script.Then([](QDialog& d) {
            auto& dialog = dynamic_cast<report::TfrmPrintDialog&>(d);
            EXPECT_EQ(dialog.cbPrinters->currentText(), QString::fromLatin1(PrivateCups::kPrinter));
            QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        });
        archive->cmdStampaClick();
        EXPECT_TRUE(script.Done());
        return NextJob();
    }

    // velmora-batch envelope 1, to the queue or into a PDF.
    std::vector<PdfWord> PrintFromBatch(bool toQueue) {
        const QString pdf = OutsideFile(QStringLiteral("busta.pdf"));
        const QStringList output = toQueue ? QStringList{"--printer", PrivateCups::kPrinter} : QStringList{"--pdf", pdf};
        QString err;
        QTextStream stream(&err);
        const int status =
            batch::Run(QStringList{"--folder", fixture.folder.Path()} + output + QStringList{"envelope", "1"}, {}, stream);
        EXPECT_EQ(status, 0) << err.toStdString();
        return toQueue ? NextJob() : PdfWords(pdf);
    }

    AppFixture fixture;
    MessageLog log;
    TfrmArchivio_Indirizzi* archive = nullptr;

private:
    int jobs_ = 0;
};

// Every line where the margins put it, measured on the page as turned: a
// PDF holds a landscape page as it is, while the queue turns it onto its A4
// portrait paper.
void ExpectEnvelope(const std::vector<PdfWord>& words, bool landscape, bool fromQueue, double top, double left) {
    const bool turned = landscape && fromQueue;
    ASSERT_EQ(words.size(), 6u);
    for (int line = 1; line <= 6; ++line) {
        SCOPED_TRACE(line);
        const PdfWord word = FindWord(words, QStringLiteral("Rigo%1").arg(line));
        EXPECT_NEAR(word.paper.width(), landscape && !fromQueue ? 297 : 210, 0.5);
        EXPECT_NEAR(word.paper.height(), landscape && !fromQueue ? 210 : 297, 0.5);
        EXPECT_NEAR(turned ? word.paper.height() - word.bottom : word.left,
                    left + 119 + report::UnitsToMm(report::kInsetX), 0.1);
        EXPECT_NEAR(turned ? word.left : word.top, top + 57 + 5 * (line - 1) + report::UnitsToMm(report::kInsetY), 0.1);
    }
}

TEST_F(EnvelopeCups, WindowAndBatchPutTheAddressInTheSamePlaces) {
    fixture.folder.Write(QStringLiteral("Impostazioni.ini"), "[Margini Busta]\r\nSuperiore=10\r\nSinistro=5\r\n");
    ExpectEnvelope(PrintFromWindow([](TfrmStampaBusta&) {}), false, true, 10, 5);
    ExpectEnvelope(PrintFromBatch(true), false, true, 10, 5);
    ExpectEnvelope(PrintFromBatch(false), false, false, 10, 5);

    // Three presses of "-" from 0 and Orizzontale, saved by the window and
    // then read by the batch.
    fixture.folder.Write(QStringLiteral("Impostazioni.ini"), "[Margini Busta]\r\nSuperiore=0\r\nSinistro=0\r\n");
    ExpectEnvelope(PrintFromWindow([](TfrmStampaBusta& w) {
                       for (int i = 0; i < 3; ++i) QTest::mouseClick(w.btnTopMinus, Qt::LeftButton);
                       EXPECT_EQ(w.txtTop->text(), QStringLiteral("-3"));
                       QTest::mouseClick(w.optOrizzontale, Qt::LeftButton);
                   }),
                   true, true, -3, 0);
    ExpectEnvelope(PrintFromBatch(true), true, true, -3, 0);
    ExpectEnvelope(PrintFromBatch(false), true, false, -3, 0);
    EXPECT_TRUE(log.messages.empty()) << log.Texts().join(u'|').toStdString();
}

}  // namespace
