#include "support/FakePrinters.h"
#include "support/Templates.h"

#include "report_ui/Preview.h"
#include "report_ui/PrintDialog.h"
#include "report_ui/ShowReport.h"
#include "print/engine/Layout.h"
#include "print/pdf/PdfWriter.h"
#include "print/printers/Printers.h"
#include "print/templates/LabelSheet.h"
#include "print/templates/Riepilogo.h"
#include "ui/Messages.h"
#include "support/AccessibleTree.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

namespace report_tests {
namespace {

using testing_support::ModalScript;

TfrmPreview& AsPreview(QDialog& dialog) { return dynamic_cast<TfrmPreview&>(dialog); }

class PreviewTest : public testing::Test {
protected:
    void SetUp() override {
        testing_support::EnsureApplication();
        report = Summary(200);
        report->ReportOptions.Name = QStringLiteral("Pagina Etichette");
        report->PreviewOptions.Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
    }
    // A teller that keeps what the preview's print button came to.
    PrintTeller Record() {
        return [this](QWidget*, const PrintOutcome& outcome) { told.push_back(outcome); };
    }
    std::unique_ptr<TrepReport> report;
    std::vector<PrintOutcome> told;
    testing_support::TempFolder folder;
};

TEST_F(PreviewTest, ShowsThePagesWithTheTemplatesToolbar) {
    ModalScript script;
    int pages = 0;
    script.Then([&](QDialog& dialog) {
        TfrmPreview& p = AsPreview(dialog);
        pages = p.workspace->PageCount();
        EXPECT_TRUE(dialog.isModal());
        EXPECT_TRUE(dialog.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(p.lblStatus->text(), QStringLiteral("Pagina 1 di %1").arg(pages));
        QStringList hints;
        for (QAction* action : p.toolbar->actions()) {
            if (!action->toolTip().isEmpty() && !qobject_cast<QWidgetAction*>(action)) hints << action->toolTip();
        }
        EXPECT_EQ(hints, QStringList({"Stampa", "Larghezza pagina", "Pagina intera", "Schermo intero"}));
        EXPECT_EQ(p.btnClose->text(), QStringLiteral("Chiudi"));
        QStringList zooms;
        for (int i = 0; i < p.cbZoom->count(); ++i) zooms << p.cbZoom->itemText(i);
        EXPECT_EQ(zooms, QStringList({"25%", "50%", "75%", "100%", "150%", "200%", "300%"}));
        EXPECT_EQ(p.cbZoom->currentText(), QStringLiteral("100%"));

        // 100 % is the page's real size: its width in units at the screen's dpi.
        const double dpi = p.workspace->logicalDpiX();
        EXPECT_NEAR(p.workspace->PageRect(0).width(), MmToUnits(297) * dpi / 96, 1);
        p.cbZoom->setCurrentIndex(1);
        emit p.cbZoom->activated(1);
        EXPECT_NEAR(p.workspace->PageRect(0).width(), MmToUnits(297) * dpi / 96 / 2, 1);
        // The zoom box shows the percentage that a fit came to.
        const auto shownPercent = [&] {
            QString text = p.cbZoom->currentText();
            EXPECT_TRUE(text.endsWith(QLatin1Char('%'))) << text.toStdString();
            text.chop(1);
            return text.toInt();
        };
        const auto realPercent = [&] { return 100.0 * p.workspace->PageRect(0).width() / (MmToUnits(297) * dpi / 96); };
        p.actWholePage->trigger();
        EXPECT_LE(p.workspace->PageRect(0).height(), p.scroll->viewport()->height());
        EXPECT_NEAR(shownPercent(), realPercent(), 1);
        p.actPageWidth->trigger();
        EXPECT_NEAR(p.workspace->PageRect(0).width(), p.scroll->viewport()->width() - 20, 1);
        EXPECT_NEAR(shownPercent(), realPercent(), 1);
        p.cbZoom->setCurrentIndex(2);
        emit p.cbZoom->activated(2);
        EXPECT_EQ(p.cbZoom->currentText(), QStringLiteral("75%"));
        EXPECT_NEAR(realPercent(), 75, 1);

        // Scrolling to the last page moves the status on.
        p.scroll->verticalScrollBar()->setValue(p.workspace->PageRect(pages - 1).top());
        EXPECT_EQ(p.lblStatus->text(), QStringLiteral("Pagina %1 di %1").arg(pages));
        EXPECT_EQ(p.CurrentPage(), pages);

        QTest::keyClick(&dialog, Qt::Key_F11);
        EXPECT_TRUE(dialog.isFullScreen());
        p.actFullScreen->trigger();
        EXPECT_FALSE(dialog.isFullScreen());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, Record()));
    EXPECT_EQ(script.opened, std::vector<QString>({"Pagina Etichette"}));
    EXPECT_GE(pages, 3);
    EXPECT_TRUE(script.Done());
}

// Through the accessibility layer a screen reader reads: the toolbar's tools,
// the zoom and the pages, each named and acting.
TEST_F(PreviewTest, EveryControlIsNamedAndActs) {
    ModalScript script;
    script.Then([](QDialog& dialog) {
        const auto controls = testing_support::AccessibleControls(dialog);
        QStringList names;
        for (const auto& control : controls) names << control.name;
        // On Linux a combo box is read by its value, "100%".
        EXPECT_EQ(names.join(u'|'), QStringLiteral("Stampa|Larghezza pagina|Pagina intera|%1|Schermo intero|Chiudi")
                                        .arg(AsPreview(dialog).cbZoom->currentText()));
        EXPECT_EQ(testing_support::Unusable(controls).join(u'\n').toStdString(), "");
        QAccessibleInterface* pages = QAccessible::queryAccessibleInterface(AsPreview(dialog).scroll);
        EXPECT_EQ(pages->text(QAccessible::Name), QStringLiteral("Pagine"));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(AsPreview(dialog).workspace)->text(QAccessible::Name),
                  AsPreview(dialog).lblStatus->text());
        // The tools from the keyboard.
        TfrmPreview& p = AsPreview(dialog);
        QApplication::setActiveWindow(&dialog);
        QTest::keySequence(&dialog, QKeySequence(Qt::CTRL | Qt::Key_2));
        EXPECT_NEAR(p.workspace->PageRect(0).width(), p.scroll->viewport()->width() - 20, 1);
        QTest::keySequence(&dialog, QKeySequence(Qt::CTRL | Qt::Key_0));
        EXPECT_LE(p.workspace->PageRect(0).height(), p.scroll->viewport()->height());
        dialog.reject();
    });
    EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, Record()));
    EXPECT_TRUE(script.Done());
}

// The window-manager hints of a window that has no title-bar buttons.
void ExpectTitleAndBorderOnly(const QDialog& dialog, bool fixedSize) {
    SCOPED_TRACE(dialog.windowTitle().toStdString());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    for (Qt::WindowType button : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                  Qt::WindowCloseButtonHint, Qt::WindowSystemMenuHint}) {
        EXPECT_FALSE(flags.testFlag(button)) << button;
    }
    EXPECT_EQ(dialog.minimumSize() == dialog.maximumSize(), fixedSize);
}

// Preview, print dialog and message box: a title and a border only; closing
// one from the window manager acts as its own leaving button.
TEST_F(PreviewTest, DialogsHaveATitleAndABorderOnly) {
    UseFakePrinters fake{{"First"}};
    ModalScript script;
    script.Then([&](QDialog& dialog) {
        ExpectTitleAndBorderOnly(dialog, false);
        EXPECT_TRUE(dialog.windowState() & Qt::WindowMaximized);
        AsPreview(dialog).actPrint->trigger();
        EXPECT_EQ(ui::ShowMessage(&dialog, QStringLiteral("Testo"), ui::Kind::Warning, ui::Buttons::OkCancel),
                  ui::Answer::Cancel);
        dialog.close();
    });
    script.Then([](QDialog& dialog) {
        ExpectTitleAndBorderOnly(dialog, true);
        dialog.close();
    });
    script.Then([](QDialog& dialog) {
        ASSERT_NE(qobject_cast<QMessageBox*>(&dialog), nullptr);
        ExpectTitleAndBorderOnly(dialog, true);
        dialog.close();
    });
    EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, Record()));
    EXPECT_EQ(script.opened, std::vector<QString>({"Pagina Etichette", "Stampa", "Velmora"}));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].status, PrintOutcome::Status::Cancelled);
    EXPECT_TRUE(fake.printers->jobs.empty());
    EXPECT_TRUE(script.Done());
}

TEST_F(PreviewTest, RendersTheVisiblePageAtTheScreensScale) {
    ModalScript script;
    script.Then([](QDialog& dialog) {
        TfrmPreview& p = AsPreview(dialog);
        const QImage shown = p.workspace->grab(p.workspace->PageRect(0)).toImage();
        // The title's slate-grey fill stands 10 + 2 mm from the page's corner.
        const double px = p.workspace->logicalDpiX() / 25.4 * shown.devicePixelRatio();
        EXPECT_EQ(QColor(shown.pixel(int(200 * px), int(13 * px))), claSlategray);
        EXPECT_EQ(QColor(shown.pixel(int(5 * px), int(5 * px))), claWhite);
        QTest::mouseClick(p.btnClose, Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, Record()));
}

// The ink of the line `text` in the page's picture `page` at `perUnit`
// pixels a unit: its width in units, within the line's own strip of its box,
// ink being what stands out from the box's colour at the strip's corner.
double InkWidth(const QImage& page, double perUnit, const PreparedPage& prepared, const PreparedText& text) {
    const QPointF corner(prepared.LeftMarginUnits(), prepared.TopMarginUnits());
    const QRectF strip = QRectF(text.clip.left(), text.top, text.clip.width(), LinePitch(text.font))
                             .intersected(text.clip)
                             .translated(corner);
    const QRect area(QPoint(int(std::ceil(strip.left() * perUnit)), int(std::ceil(strip.top() * perUnit))),
                     QPoint(int(strip.right() * perUnit) - 1, int(strip.bottom() * perUnit) - 1));
    const int paper = qGray(page.pixel(area.topLeft()));
    int left = area.right() + 1, right = area.left() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (std::abs(qGray(page.pixel(x, y)) - paper) > 96) left = std::min(left, x), right = std::max(right, x);
    return right < left ? 0 : (right + 1 - left) / perUnit;
}

// The ink width of `text` set in `font` at `points`, measured a hundred times
// larger, where whole pixels do not round, and brought back: in units.
double InkWidthAt(const QString& text, const TrepFont& font, double points) {
    QFont large(InstalledFamily(font.Name));
    large.setPixelSize(int(std::lround(points * 100)));
    large.setBold(font.Style & fsBold);
    large.setHintingPreference(QFont::PreferNoHinting);
    large.setKerning(false);
    return QFontMetricsF(large).tightBoundingRect(text).width() / 100 * kUnitsPerInch / 72;
}

// Every text of the label sheet, the single-record sheet and the summary is
// drawn at the size its template gives, 7, 8 or 9 points: poppler reads those
// sizes back from the PDF, and in the preview each line's ink is as wide as
// the line set at that size.
TEST_F(PreviewTest, EveryTextIsDrawnAtItsTemplatesSizeInThePdfAndThePreview) {
    label_sheet::Lines page;
    page[0] = {"Verdi & Figli S.n.c.", "Via Roma 12", "00144 Roma", "", "", ""};
    page[4] = {"Associazione Culturale", "Casella postale 7", "Città di Castello", "€ 12,50", "", "riga sei"};
    page[23] = {"Ultima etichetta", "Piazza Duomo 1", "", "", "", "fine"};
    const std::array<QString, label_sheet::kLines> record{"Anna Rossi", "Via Garibaldi 3", "20121 Milano",
                                                          "Italia", "", "telefono 02 1234"};
    struct Case {
        const char* what;
        std::function<std::unique_ptr<TrepReport>()> prepare;  // its pages prepared
        std::function<double(const QString&)> points;           // each text's size in its template
    };
    const auto sheet = [](const QString& name, const label_sheet::Lines& lines) {
        auto report = label_sheet::Build(name);
        EXPECT_TRUE(label_sheet::FillAndPrepare(*report, lines));
        return report;
    };
    const Case cases[] = {
        {"label sheet", [&] { return sheet(label_sheet::kPageName, page); }, [](const QString&) { return 7.0; }},
        {"single-record sheet", [&] { return sheet(label_sheet::kRecordName, label_sheet::OnEveryLabel(record)); },
         [](const QString&) { return 7.0; }},
        {"summary",
         [] {
             auto report = summary::Build();
             EXPECT_TRUE(summary::FillAndPrepare(*report, summary::kFindTitle,
                                                 {"Rossi Mario        Tipo: Busta", "Verdi Anna        Tipo: Etichetta"},
                                                 QDateTime(QDate(2026, 3, 9), QTime(10, 30))));
             return report;
         },
         [](const QString& text) { return text == summary::kFindTitle ? 9.0 : 8.0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto report = c.prepare();
        const PreparedPage& prepared = report->PreparedPages().at(0);

        const QString pdf = folder.File(QStringLiteral("sizes.pdf"));
        WritePdf(StreamOf({&prepared}), pdf);
        const std::vector<PdfSizedText> texts = PdfTextSizes(pdf);
        ASSERT_FALSE(texts.empty());
        for (const PdfSizedText& text : texts)
            EXPECT_DOUBLE_EQ(text.points, c.points(text.text)) << text.text.toStdString();

        report->PreviewOptions.Buttons = pbClose;
        ModalScript script;
        script.Then([&](QDialog& dialog) {
            TfrmPreview& p = AsPreview(dialog);
            p.SetZoom(3.0);
            const QImage shown = p.workspace->grab(p.workspace->PageRect(0)).toImage();
            const double perUnit = p.workspace->Scale() * shown.devicePixelRatio();
            int measured = 0;
            for (const PreparedText& text : Texts(prepared)) {
                if (text.text.trimmed().isEmpty() || text.NeedsClip()) continue;
                const double points = c.points(text.text);
                EXPECT_NEAR(InkWidth(shown, perUnit, prepared, text), InkWidthAt(text.text, text.font, points),
                            2 / perUnit)
                    << text.text.toStdString() << " at " << points << " pt";
                ++measured;
            }
            EXPECT_GE(measured, 3);
            dialog.reject();
        });
        EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, Record()));
        EXPECT_TRUE(script.Done());
    }
}

TEST_F(PreviewTest, PrintsThePageOnShowAndStaysOpen) {
    UseFakePrinters fake{{"First"}};
    report->PreviewOptions.Buttons = pbPrint | pbClose;
    report->ReportOptions.Name.clear();
    ModalScript script;
    script.Then([&](QDialog& dialog) {
        TfrmPreview& p = AsPreview(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Anteprima"));
        EXPECT_EQ(p.cbZoom, nullptr);
        EXPECT_EQ(p.actFullScreen, nullptr);
        fake.printers->first = &report->PreparedPages()[0];
        p.scroll->verticalScrollBar()->setValue(p.workspace->PageRect(1).top());
        p.actPrint->trigger();
        EXPECT_TRUE(dialog.isVisible());
    });
    script.Then([](QDialog& dialog) {
        auto& d = dynamic_cast<TfrmPrintDialog&>(dialog);
        d.optCurrent->setChecked(true);
        QTest::mouseClick(d.btnOK, Qt::LeftButton);
    });
    EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, Record()));
    EXPECT_EQ(script.opened, std::vector<QString>({"Anteprima", "Stampa"}));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].Printed());
    ASSERT_EQ(fake.printers->jobs.size(), 1u);
    EXPECT_EQ(fake.printers->jobs[0].pages, std::vector<int>({1}));
}

TEST_F(PreviewTest, SpoolerErrorIsToldAndThePreviewStaysOpen) {
    UseFakePrinters fake{{"First"}};
    fake.printers->spoolerFails = true;
    testing_support::MessageLog log;
    ModalScript script;
    bool openAfterPrint = false;
    script.Then([&](QDialog& dialog) {
        AsPreview(dialog).actPrint->trigger();
        openAfterPrint = dialog.isVisible();
    });
    script.Then([](QDialog& dialog) { QTest::mouseClick(dynamic_cast<TfrmPrintDialog&>(dialog).btnOK, Qt::LeftButton); });
    EXPECT_TRUE(ShowReport(*report, folder.Folder(), true, Record()));
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(openAfterPrint);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].status, PrintOutcome::Status::Failed);
    EXPECT_EQ(told[0].error, QStringLiteral("spooler failed"));
    EXPECT_TRUE(log.messages.empty()) << "the teller decides what the user is told";
}

TEST_F(PreviewTest, FailedPreparationOpensNoPreview) {
    testing_support::MessageLog log;
    ModalScript script;  // any dialog would fail the test
    PageOf(*report).LeftMargin = 300;
    const PrepareResult shown = ShowReport(*report, folder.Folder(), true, Record());
    EXPECT_FALSE(shown);
    EXPECT_EQ(shown.errors.size(), 1u);
    EXPECT_TRUE(log.messages.empty());
    EXPECT_TRUE(told.empty());
}

}  // namespace
}  // namespace report_tests
