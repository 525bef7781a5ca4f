#include "support/CupsEnvironment.h"
#include "support/Templates.h"

#include "report_ui/Print.h"
#include "report_ui/PrintDialog.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace report_tests {
namespace {

using testing_support::ModalScript;
using testing_support::PrivateCups;

auto* const kCups = static_cast<CupsEnvironment*>(
    testing::AddGlobalTestEnvironment(new CupsEnvironment(PrivateCups::Queue::Pdf)));

class CupsPrint : public testing::Test {
protected:
    void SetUp() override {
        testing_support::EnsureApplication();
        ASSERT_TRUE(kCups->Cups().Ready());
    }
    // The document of the last job, as a file pdftotext can read.
    QString LastOutput() {
        const QString path = dir.filePath(QStringLiteral("job%1.pdf").arg(++jobs));
        EXPECT_TRUE(kCups->Cups().WaitForJobs(jobs)) << "the job did not finish";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kCups->Cups().ReadOutput());
        return path;
    }
    QTemporaryDir dir;
    testing_support::TempFolder folder;
    int jobs = 0;
};

// The attributes the scheduler keeps for its latest job, as text.
std::map<std::string, std::string> LastJobAttributes() {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, PrivateCups::kPrinter, 0, CUPS_WHICHJOBS_ALL);
    int id = 0;
    for (int i = 0; i < count; ++i) id = std::max(id, jobs[i].id);
    cupsFreeJobs(count, jobs);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/");
    std::map<std::string, std::string> attributes;
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        char value[2048];
        ippAttributeString(a, value, sizeof value);
        if (ippGetName(a)) attributes[ippGetName(a)] = value;
    }
    ippDelete(response);
    return attributes;
}

void PressOk(QDialog& dialog) { QTest::mouseClick(dynamic_cast<TfrmPrintDialog&>(dialog).btnOK, Qt::LeftButton); }

TEST_F(CupsPrint, PrinterGetsTextWhereThePdfPutsIt) {
    ModalScript script;
    script.Then([](QDialog& dialog) {
        auto& d = dynamic_cast<TfrmPrintDialog&>(dialog);
        EXPECT_EQ(d.cbPrinters->currentText(), QString::fromLatin1(PrivateCups::kPrinter));
        QTest::mouseClick(d.btnProperties, Qt::LeftButton);
        PressOk(dialog);
    });
    // "Properties..." shows the driver's own options with the printer's
    // defaults, never the paper; the resolution and the hand feed chosen there
    // go with the job.
    script.Then([](QDialog& dialog) {
        auto& p = dynamic_cast<TfrmPrinterProperties&>(dialog);
        std::map<QString, QString> shown;
        for (const QComboBox* list : p.lists) shown[list->objectName()] = list->currentData().toString();
        EXPECT_EQ(shown.count(QStringLiteral("PageSize")), 0u);
        EXPECT_EQ(shown.count(QStringLiteral("PageRegion")), 0u);
        EXPECT_EQ(shown[QStringLiteral("Resolution")], QStringLiteral("600dpi"));
        EXPECT_EQ(shown[QStringLiteral("manualfeed")], QStringLiteral("off"));
        for (const auto& [keyword, choice] : {std::pair{"Resolution", "300dpi"}, std::pair{"manualfeed", "on"}}) {
            auto* list = dialog.findChild<QComboBox*>(QString::fromLatin1(keyword));
            ASSERT_NE(list, nullptr);
            list->setCurrentIndex(list->findData(QByteArray(choice)));
        }
        QTest::mouseClick(p.btnOK, Qt::LeftButton);
    });
    // The next print starts again from the printer's defaults.
    script.Then(PressOk);
    testing_support::MessageLog log;
    for (TPrinterOrientation orientation : {poPortrait, poLandscape}) {
        auto report = PositionsPage(orientation);
        ASSERT_TRUE(report->PrepareReport(true));
        ASSERT_TRUE(Print(*report, folder.Folder()).Printed());
        const std::vector<PdfWord> words = PdfWords(LastOutput());
        ASSERT_FALSE(words.empty());
        // A4 paper either way; the landscape page is turned onto it.
        EXPECT_NEAR(words[0].paper.width(), 210, 0.1);
        EXPECT_NEAR(words[0].paper.height(), 297, 0.1);
        ExpectPositions(words, orientation == poLandscape);
        auto attributes = LastJobAttributes();
        const bool chosen = orientation == poPortrait;
        EXPECT_EQ(attributes["Resolution"], chosen ? "300dpi" : "");
        EXPECT_EQ(attributes["manualfeed"], chosen ? "on" : "");
        EXPECT_EQ(attributes["media"], "A4");
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(CupsPrint, CopiesArePrintedByOurOwnLoop) {
    auto report = Summary(100);  // two landscape pages
    ASSERT_TRUE(report->PrepareReport(true));
    ASSERT_EQ(report->PreparedPages().size(), 2u);
    ModalScript script;
    script.Then([](QDialog& dialog) {
        auto& d = dynamic_cast<TfrmPrintDialog&>(dialog);
        d.txtCopies->setValue(2);
        d.chkCollate->setChecked(false);
        PressOk(dialog);
    });
    ASSERT_TRUE(Print(*report, folder.Folder()).Printed());
    const QString output = LastOutput();
    EXPECT_EQ(PdfPageCount(output), 4);
    // Uncollated: the title page twice, then the footer page twice.
    std::vector<int> titlePages, footerPages;
    for (const PdfWord& word : PdfWords(output)) {
        if (word.text == QStringLiteral("Riepilogo")) titlePages.push_back(word.page);
        if (word.text == QStringLiteral("Stampa")) footerPages.push_back(word.page);
    }
    EXPECT_EQ(titlePages, std::vector<int>({1, 2}));
    EXPECT_EQ(footerPages, std::vector<int>({3, 4}));
}

TEST_F(CupsPrint, PrintToFileWritesThePrintersDocumentAndQueuesNothing) {
    auto report = PositionsPage(poPortrait);
    ASSERT_TRUE(report->PrepareReport(true));
    const QString file = dir.filePath(QStringLiteral("copia.prn"));
    ModalScript script;
    script.Then([](QDialog& dialog) {
        dynamic_cast<TfrmPrintDialog&>(dialog).chkPrintToFile->setChecked(true);
        PressOk(dialog);
    });
    script.Then([&](QDialog& dialog) {
        dynamic_cast<QFileDialog&>(dialog).selectFile(file);
        dialog.accept();
    });
    ASSERT_TRUE(Print(*report, folder.Folder()).Printed());
    QFile printed(file);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(5) == "%PDF-");
    ExpectPositions(PdfWords(file));
    EXPECT_TRUE(kCups->Cups().WaitForJobs(jobs)) << "no job reached the queue";
}

}  // namespace
}  // namespace report_tests
