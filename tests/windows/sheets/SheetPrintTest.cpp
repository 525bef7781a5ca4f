#include "windows/sheets/Anteprima_Etichetta.h"
#include "windows/sheets/Anteprima_Etichette.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "windows/sheets/Stampa_Etichette.h"

#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "report_ui/Preview.h"
#include "report_ui/PrintDialog.h"
#include "support/FakePrinters.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;
using namespace report;

namespace {

// A printer that keeps a copy of every page it is sent.
class RecordingPrinters : public FakePrinters {
public:
    void Print(const PrintJob& job) override {
        for (long long i = 0; i < job.pages.count; ++i) pages.push_back(job.pages.page(i));
    }
    std::vector<PreparedPage> pages;
};

struct Line {
    QString text;
    double x, top;  // mm from the top-left corner of the paper
    bool bold;
    bool operator==(const Line& o) const {
        return text == o.text && std::abs(x - o.x) < 1e-6 && std::abs(top - o.top) < 1e-6 && bold == o.bold;
    }
};

std::vector<Line> LinesOf(const PreparedPage& page) {
    std::vector<Line> lines;
    for (const PreparedItem& item : page.items)
        if (const auto* t = std::get_if<PreparedText>(&item); t && !t->text.isEmpty())
            lines.push_back({t->text, page.leftMargin + UnitsToMm(t->x), page.topMargin + UnitsToMm(t->top),
                             t->font.Style == fsBold});
    return lines;
}

class SheetPrint : public ::testing::Test {
protected:
    SheetPrint() {
        auto recording = std::make_unique<RecordingPrinters>();
        recording->names = {QStringLiteral("Ufficio")};
        recording->defaultName = QStringLiteral("Ufficio");
        printers = recording.get();
        previous_ = SetPrinters(std::move(recording));
        SelectPrinter(QStringLiteral("Ufficio"));
        sheet = &fixture.app->frmArchivio_Etichette();
        sheet->Present();
    }
    ~SheetPrint() override { SetPrinters(std::move(previous_)); }

    void Fill(int slot, const QString& name) {
        sheet->txtNome(slot)->setText(name);
        for (int line = 1; line <= 6; ++line)
            sheet->txtRigo(line, slot)->setText(QStringLiteral("%1-%2").arg(name).arg(line));
    }
    // Runs the sheet print window, presses Stampa and answers the print dialog.
    void PrintFromSheet(int copies = 1) {
        ModalScript script;
        script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmStampa_Etichette&>(d).btnStampa, Qt::LeftButton); });
        script.Then([copies](QDialog& d) {
            auto& dialog = static_cast<TfrmPrintDialog&>(d);
            EXPECT_EQ(dialog.txtCopies->value(), 1);
            dialog.txtCopies->setValue(copies);
            QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
        });
        sheet->cmdStampaClick();
        EXPECT_TRUE(script.Done());
    }

    AppFixture fixture;
    MessageLog log;
    RecordingPrinters* printers;
    TfrmArchivio_Etichette* sheet;

private:
    std::unique_ptr<PrinterSystem> previous_;
};

TEST_F(SheetPrint, StoredPagePrintsItsLinesWhereTheLabelsAre) {
    Fill(1, QStringLiteral("Uno"));
    Fill(7, QStringLiteral("Sette"));
    Fill(24, QStringLiteral("Ventiquattro"));
    sheet->txtRigo(2, 7)->setText(QString(200, QLatin1Char('W')));
    sheet->cmdSalvaClick();
    PrintFromSheet();
    ASSERT_EQ(printers->pages.size(), 1u);
    const std::vector<Line> printed = LinesOf(printers->pages[0]);

    // Paged away and back, the stored page prints the same.
    sheet->cmdNuovoClick();
    sheet->cmdPrimoClick();
    PrintFromSheet();
    ASSERT_EQ(printers->pages.size(), 2u);
    EXPECT_EQ(LinesOf(printers->pages[1]), printed);

    ASSERT_EQ(printed.size(), 18u);
    const double inset = UnitsToMm(2), insetTop = UnitsToMm(1);
    struct Expected {
        const char* text;
        double left, top;  // of the text object on paper
    };
    for (const Expected& e : {Expected{"Uno-1", 12.0, 11.8}, Expected{"Uno-6", 12.0, 36.8},
                              Expected{"Sette-1", 12.0, 10 + 70 + 2}, Expected{"Ventiquattro-6", 140.0, 10 + 245 + 27}}) {
        const auto it = std::find_if(printed.begin(), printed.end(),
                                     [&](const Line& l) { return l.text == QLatin1String(e.text); });
        ASSERT_NE(it, printed.end()) << e.text;
        EXPECT_NEAR(it->x, e.left + inset, 0.01) << e.text;
        EXPECT_NEAR(it->top, e.top + insetTop, 0.01) << e.text;
        EXPECT_EQ(it->bold, QString::fromLatin1(e.text).endsWith(QLatin1String("-1")));
    }
    // Names never reach paper; a long line is cut at its box, not wrapped.
    for (const Line& l : printed) EXPECT_FALSE(l.text == QLatin1String("Uno") || l.text == QLatin1String("Sette"));
    int rects = 0;
    for (const PreparedItem& item : printers->pages[0].items) {
        if (const auto* t = std::get_if<PreparedText>(&item); t && t->text.startsWith(QLatin1Char('W'))) {
            EXPECT_NEAR(UnitsToMm(t->clip.right()), 2 + 58.2, 0.001);  // slot 7 is in column 1
            EXPECT_NEAR(UnitsToMm(t->clip.height()), 3.5, 0.001);
        }
        rects += std::holds_alternative<PreparedRect>(item);
    }
    EXPECT_EQ(rects, 24);
    EXPECT_TRUE(log.messages.size() == 1u);  // the save
}

TEST_F(SheetPrint, BackspaceThenSaveUpdatesThePageWithoutTheSlot) {
    Fill(1, QStringLiteral("Uno"));
    Fill(5, QStringLiteral("Cinque"));
    sheet->cmdSalvaClick();
    QTest::keyClick(sheet->txtNome(5), Qt::Key_Backspace);
    sheet->cmdSalvaClick();
    sheet->cmdNuovoClick();
    sheet->cmdUltimoClick();
    PrintFromSheet();
    ASSERT_EQ(printers->pages.size(), 1u);
    for (const Line& l : LinesOf(printers->pages[0])) EXPECT_TRUE(l.text.startsWith(QLatin1String("Uno"))) << l.text.toStdString();
}

TEST_F(SheetPrint, CopiesCancelAndAnnulla) {
    Fill(1, QStringLiteral("Uno"));
    PrintFromSheet(2);
    ASSERT_EQ(printers->pages.size(), 2u);
    EXPECT_EQ(LinesOf(printers->pages[0]), LinesOf(printers->pages[1]));

    // Cancel in the print dialog prints nothing and the print window closes itself.
    ModalScript script;
    bool stillOpen = true;
    script.Then([&](QDialog& d) {
        QTest::mouseClick(static_cast<TfrmStampa_Etichette&>(d).btnStampa, Qt::LeftButton);
        stillOpen = d.isVisible();
    });
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmPrintDialog&>(d).btnCancel, Qt::LeftButton); });
    // Annulla shows and prints nothing.
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmAnteprima_Etichette&>(d).btnAnnulla, Qt::LeftButton); });
    sheet->cmdStampaClick();
    sheet->cmdAnteprimaClick();
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(printers->pages.size(), 2u);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(SheetPrint, PreviewShowsThePageOnScreenAndPrintsFromThere) {
    Fill(3, QStringLiteral("Tre"));  // not saved
    ModalScript script;
    QString caption, status;
    script.Then([](QDialog& d) {
        auto& window = static_cast<TfrmAnteprima_Etichette&>(d);
        EXPECT_EQ(window.btnStampa->text(), QStringLiteral("Mostra anteprima"));
        QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    });
    script.Then([&](QDialog& d) {
        auto& preview = static_cast<TfrmPreview&>(d);
        caption = preview.windowTitle();
        status = preview.lblStatus->text();
        preview.actPrint->trigger();
    });
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmPrintDialog&>(d).btnOK, Qt::LeftButton); });
    sheet->cmdAnteprimaClick();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(caption, QStringLiteral("Pagina Etichette"));
    EXPECT_EQ(status, QStringLiteral("Pagina 1 di 1"));
    ASSERT_EQ(printers->pages.size(), 1u);
    const std::vector<Line> lines = LinesOf(printers->pages[0]);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_NEAR(lines[0].x, 10 + 128 + 2 + UnitsToMm(2), 0.01);  // slot 3 is top right
}

TEST_F(SheetPrint, SingleRecordPreviewRepeatsTheLinesOnScreenOnEveryLabel) {
    TfrmArchivio_Indirizzi& archive = fixture.app->frmArchivio_Indirizzi();
    archive.Present();
    archive.txtNome->setText(QStringLiteral("Mai stampato"));
    archive.txtRigo01->setText(QStringLiteral("  Mario Rossi  "));
    archive.txtRigo03->setText(QStringLiteral("   "));
    archive.txtRigo04->setText(QStringLiteral("00100  Roma"));
    ModalScript script;
    QString caption;
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmAnteprima_Etichetta&>(d).btnStampa, Qt::LeftButton); });
    script.Then([&](QDialog& d) {
        caption = d.windowTitle();
        static_cast<TfrmPreview&>(d).actPrint->trigger();
    });
    script.Then([](QDialog& d) { QTest::mouseClick(static_cast<TfrmPrintDialog&>(d).btnOK, Qt::LeftButton); });
    archive.cmdAnteprimaClick();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(caption, QStringLiteral("Anteprima Etichetta"));
    ASSERT_EQ(printers->pages.size(), 1u);
    const std::vector<Line> lines = LinesOf(printers->pages[0]);
    ASSERT_EQ(lines.size(), 48u);
    for (int slot = 0; slot < 24; ++slot) {
        EXPECT_EQ(lines[2 * slot].text, QStringLiteral("Mario Rossi"));
        EXPECT_TRUE(lines[2 * slot].bold);
        EXPECT_EQ(lines[2 * slot + 1].text, QStringLiteral("00100  Roma"));
        // Line 4 keeps its place under the empty lines 2 and 3.
        EXPECT_NEAR(lines[2 * slot + 1].top - lines[2 * slot].top, 15.0, 0.001);
    }
    // Nothing was saved or changed on the data archive window.
    EXPECT_TRUE(archive.lblPosizione->text().isEmpty());
    EXPECT_EQ(archive.txtRigo01->text(), QStringLiteral("  Mario Rossi  "));
}

}  // namespace
