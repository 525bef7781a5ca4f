#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/DataRecord.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "core/archive/PickerItem.h"
#include "print/templates/Riepilogo.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "print/engine/Painter.h"
#include "report_ui/PrintDialog.h"
#include "print/engine/Layout.h"
#include "windows/sheets/Archivio_Etichette.h"
#include "support/FakePrinters.h"
#include "support/TestSupport.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

using namespace report;
using testing_support::UseFakePrinters;
using testing_support::AppFixture;
using testing_support::MessageLog;
using testing_support::ModalScript;

namespace {

constexpr double kExact = 1e-9;  // units or mm

std::string S(const QString& text) { return text.toStdString(); }

const QDateTime kMoment(QDate(2025, 12, 9), QTime(14, 5, 33));

QStringList Items(int count) {
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << PickerItemText(QStringLiteral("Nome %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("Postale"),
                                QStringLiteral("nota %1").arg(i));
    return items;
}

// A text the summary printed, with the page it stands on (from 0).
struct Printed {
    int page;
    PreparedText text;
};

enum class Part { Title, Body, Footer };

// The prepared lines of one part of the summary, told apart by their font.
std::vector<Printed> PrintedTexts(const TrepReport& summary, Part part) {
    std::vector<Printed> found;
    const auto& pages = summary.PreparedPages();
    for (int p = 0; p < int(pages.size()); ++p) {
        for (const PreparedItem& item : pages[p].items) {
            const auto* text = std::get_if<PreparedText>(&item);
            if (!text) continue;
            const bool courier = text->font.Name == QLatin1String("Courier New");
            const bool nine = std::abs(text->font.Height - PointsToHeight(9)) < kExact;
            const Part is = courier ? Part::Body : nine ? Part::Title : Part::Footer;
            if (is == part) found.push_back({p, *text});
        }
    }
    return found;
}

QStringList TextsOf(const std::vector<Printed>& printed) {
    QStringList texts;
    for (const Printed& p : printed) texts << p.text.text;
    return texts;
}

TrepMemoView& Memo(TrepReport& summary, const char* name) {
    return *FindObjectAs<TrepMemoView>(summary, QString::fromLatin1(name));
}

// Sets the default locale for the life of the object.
class UseLocale {
public:
    explicit UseLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~UseLocale() { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

// ---- The template ---------------------------------------------------------

TEST(SummaryTemplate, ReportPageAndBandsAsDesigned) {
    const auto summary = summary::Build();
    EXPECT_EQ(S(summary->Name), "repRiepilogo");
    EXPECT_EQ(S(summary->ReportOptions.Name), "Riepilogo dati");
    EXPECT_EQ(summary->PreviewOptions.Buttons, kAllPreviewButtons);
    EXPECT_EQ(S(summary->PrintOptions.Printer), "Default");

    const TrepReportPage& page = *summary->ReportPage();
    EXPECT_EQ(S(page.Name), "Page");
    EXPECT_EQ(page.Orientation(), poLandscape);
    EXPECT_EQ(page.PaperWidth, 297);
    EXPECT_EQ(page.PaperHeight, 210);
    for (double margin : {page.LeftMargin, page.TopMargin, page.RightMargin, page.BottomMargin})
        EXPECT_EQ(margin, 10);

    struct BandCase {
        const char* name;
        double heightMm;
        const char* holds;
    };
    const BandCase bands[] = {{"ReportTitle", 8, "txtTitolo"}, {"MasterData", 28, "txtRiepilogo"},
                              {"Footer", 8, "txtPagina"}};
    ASSERT_EQ(page.Children().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto* band = dynamic_cast<const TrepBand*>(page.Children()[i].get());
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(S(band->Name), bands[i].name);
        EXPECT_NEAR(UnitsToMm(band->Height), bands[i].heightMm, kExact) << bands[i].name;
        EXPECT_NEAR(UnitsToMm(band->Width), 277, kExact) << bands[i].name;
        ASSERT_EQ(band->Children().size(), 1u);
        EXPECT_EQ(S(band->Children()[0]->Name), bands[i].holds);
    }
    EXPECT_NE(dynamic_cast<const TrepReportTitle*>(page.Children()[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<const TrepFooter*>(page.Children()[2].get()), nullptr);
    const auto* master = dynamic_cast<const TrepMasterData*>(page.Children()[1].get());
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->RowCount, 1);
    EXPECT_TRUE(master->AllowSplit);
}

TEST(SummaryTemplate, TextObjectsAsDesigned) {
    struct TextCase {
        const char* name;
        double left, top, width, height;  // mm
        const char* font;
        double fontHeight;  // units
        int style;
        QColor colour, fill;
        THAlign align;
        bool wordWrap;
        QStringList memo;
    };
    const TextCase cases[] = {
        {"txtTitolo", 2, 1, 273, 5, "Verdana", -12, fsBold, claWhite, claSlategray, haCenter, true, {"Riepilogo"}},
        {"txtRiepilogo", 3, 0, 273, 27, "Courier New", -10.666667, fsNone, claBlack, QColor(), haLeft, false, {}},
        {"txtPagina", 3, 2, 272, 5, "Verdana", -10.666667, fsBold, claWhite, claSlategray, haCenter, true,
         {"Stampa eseguita in data [DATE]"}},
    };
    const auto summary = summary::Build();
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TrepMemoView& memo = Memo(*summary, c.name);
        EXPECT_NEAR(UnitsToMm(memo.Left), c.left, kExact);
        EXPECT_NEAR(UnitsToMm(memo.Top), c.top, kExact);
        EXPECT_NEAR(UnitsToMm(memo.Width), c.width, kExact);
        EXPECT_NEAR(UnitsToMm(memo.Height), c.height, kExact);
        EXPECT_EQ(S(memo.Font.Name), c.font);
        EXPECT_NEAR(memo.Font.Height, c.fontHeight, 1e-6);
        EXPECT_EQ(memo.Font.Style, c.style);
        EXPECT_EQ(memo.Font.Color, c.colour);
        EXPECT_EQ(memo.Color, c.fill);
        EXPECT_EQ(memo.HAlign, c.align);
        EXPECT_EQ(memo.WordWrap, c.wordWrap);
        EXPECT_EQ(memo.Memo(), c.memo);
    }
    // The body is sized by the layer's own pitch for its font.
    EXPECT_NEAR(LinePitch(Memo(*summary, "txtRiepilogo").Font), summary::kLineHeight, 1e-9);
}

// ---- Filling and laying out -------------------------------------------------

TEST(Summary, BodyAndBandHeightsFollowTheLineCount) {
    testing_support::EnsureApplication();
    struct Case {
        int items;
        double body, band;  // units
    };
    const Case cases[] = {{0, 0, 10}, {1, 12.822, 22.822}, {3, 38.466, 48.466}};
    const auto summary = summary::Build();
    for (const Case& c : cases) {
        // One template filled again and again: nothing accumulates.
        ASSERT_TRUE(summary::FillAndPrepare(*summary, summary::kFindTitle, Items(c.items), kMoment));
        EXPECT_EQ(Memo(*summary, "txtRiepilogo").Count(), c.items);
        EXPECT_NEAR(Memo(*summary, "txtRiepilogo").Height, c.body, kExact) << c.items;
        EXPECT_NEAR(FindObjectAs<TrepMasterData>(*summary, QStringLiteral("MasterData"))->Height, c.band, kExact)
            << c.items;
        EXPECT_EQ(TextsOf(PrintedTexts(*summary, Part::Body)), Items(c.items));
    }
}

TEST(Summary, EmptyListPrintsTitleAndFooterAroundAnEmptyBody) {
    testing_support::EnsureApplication();
    const auto summary = summary::Build();
    ASSERT_TRUE(summary::FillAndPrepare(*summary, summary::kImportTitle, {}, kMoment));
    ASSERT_EQ(summary->PreparedPages().size(), 1u);
    const auto title = PrintedTexts(*summary, Part::Title);
    const auto footer = PrintedTexts(*summary, Part::Footer);
    ASSERT_EQ(title.size(), 1u);
    ASSERT_EQ(footer.size(), 1u);
    EXPECT_EQ(S(title[0].text.text), "Riepilogo dati in archivio");
    EXPECT_TRUE(footer[0].text.text.startsWith(QStringLiteral("Stampa eseguita in data ")));
    EXPECT_TRUE(PrintedTexts(*summary, Part::Body).empty());
    // Title band, the 10 units of the empty master band, then the footer bar 2 mm into its band.
    EXPECT_NEAR(footer[0].text.clip.top(), MmToUnits(8) + 10 + MmToUnits(2), kExact);
}

TEST(Summary, ALongListRunsOverPagesWithTheTitleFirstAndTheFooterUnderTheLastLine) {
    testing_support::EnsureApplication();
    const auto summary = summary::Build();
    const QStringList items = Items(200);
    ASSERT_TRUE(summary::FillAndPrepare(*summary, summary::kFindTitle, items, kMoment));
    const auto& pages = summary->PreparedPages();
    ASSERT_GE(pages.size(), 3u);
    for (const PreparedPage& page : pages) {
        EXPECT_EQ(page.orientation, poLandscape);
        EXPECT_EQ(page.paperWidth, 297);
        EXPECT_EQ(page.paperHeight, 210);
    }

    const auto body = PrintedTexts(*summary, Part::Body);
    EXPECT_EQ(TextsOf(body), items);
    const double printable = MmToUnits(190);
    std::vector<int> perPage(pages.size(), 0);
    for (std::size_t i = 0; i < body.size(); ++i) {
        ++perPage[body[i].page];
        // Broken between whole lines: every line lies whole inside its page.
        EXPECT_GE(body[i].text.top, body[i].text.clip.top() - kExact) << i;
        EXPECT_LE(body[i].text.top + LineHeight(body[i].text.font), printable + kExact) << i;
        if (i > 0 && body[i].page == body[i - 1].page) {
            EXPECT_NEAR(body[i].text.top - body[i - 1].text.top, summary::kLineHeight, 1e-6) << i;
        }
    }
    EXPECT_EQ(std::accumulate(perPage.begin(), perPage.end(), 0), 200);
    for (int count : perPage) EXPECT_GT(count, 0);
    // The first page's lines start under the title bar.
    EXPECT_NEAR(body.front().text.top, MmToUnits(8) + kInsetY, kExact);

    const auto title = PrintedTexts(*summary, Part::Title);
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0].page, 0);
    EXPECT_EQ(S(title[0].text.text), "Riepilogo etichette in archivio");

    const auto footer = PrintedTexts(*summary, Part::Footer);
    ASSERT_EQ(footer.size(), 1u);
    const Printed& last = body.back();
    EXPECT_EQ(footer[0].page, last.page);
    EXPECT_EQ(footer[0].page, int(pages.size()) - 1);
    // The body box ends one pitch below the last line's top (less its inset),
    // the master band 10 units further, and the footer bar 2 mm into its band.
    EXPECT_NEAR(footer[0].text.clip.top(),
                last.text.top - kInsetY + summary::kLineHeight + summary::kBandExtra + MmToUnits(2), 1e-6);
}

TEST(Summary, ALineWiderThanTheBodyIsCutAtItsRightEdge) {
    testing_support::EnsureApplication();
    const QString wide = PickerItemText(QStringLiteral("Rossi"), QStringLiteral("Busta"), QStringLiteral("n").repeated(250));
    const auto summary = summary::Build();
    ASSERT_TRUE(summary::FillAndPrepare(*summary, summary::kFindTitle, {wide}, kMoment));
    const auto body = PrintedTexts(*summary, Part::Body);
    ASSERT_EQ(body.size(), 1u) << "no wrapping";
    const PreparedText& line = body[0].text;
    EXPECT_EQ(line.text, wide);
    const double rightEdge = MmToUnits(3 + 273);
    EXPECT_NEAR(line.clip.right(), rightEdge, kExact);
    const UnitFont font = MakeFont(line.font);
    ASSERT_GT(line.x + QFontMetricsF(font.font).horizontalAdvance(wide) * font.scale, MmToUnits(300))
        << "wider than the paper";

    // On paper the ink stops at the body's edge (plus the left margin).
    const double dpi = 192, perUnit = dpi / kUnitsPerInch;
    const QImage image = RenderPage(summary->PreparedPages()[0], dpi);
    auto inkIn = [&](double fromUnits, double toUnits) {
        const double left = summary->PreparedPages()[0].LeftMarginUnits();
        const double top = summary->PreparedPages()[0].TopMarginUnits();
        for (int y = int((top + line.top) * perUnit); y < int((top + line.top + LineHeight(line.font)) * perUnit); ++y)
            for (int x = int((left + fromUnits) * perUnit); x < int((left + toUnits) * perUnit); ++x)
                if (qGray(image.pixel(x, y)) < 128) return true;
        return false;
    };
    EXPECT_TRUE(inkIn(rightEdge - 20, rightEdge));
    EXPECT_FALSE(inkIn(rightEdge + 0.5, MmToUnits(287) - 1));
}

TEST(Summary, FooterTellsTheMomentInTheLocaleFormats) {
    testing_support::EnsureApplication();
    const UseLocale italian(QLocale(QLocale::Italian, QLocale::Italy));
    const auto summary = summary::Build();
    ASSERT_TRUE(summary::FillAndPrepare(*summary, summary::kFindTitle, Items(2), kMoment));
    const char* expected = "Stampa eseguita in data 09/12/2025 alle ore 14:05:33";
    EXPECT_EQ(S(summary::FooterText(kMoment)), expected);
    EXPECT_EQ(Memo(*summary, "txtPagina").Memo(), QStringList{QString::fromLatin1(expected)});
    const auto footer = PrintedTexts(*summary, Part::Footer);
    ASSERT_EQ(footer.size(), 1u);
    EXPECT_EQ(S(footer[0].text.text), expected);
}

// ---- The picker windows -----------------------------------------------------

void WriteArchive(const QString& folder, const QStringList& names) {
    DataRecordFile file(folder);
    for (const QString& name : names) {
        DataRecord record;
        record.SetText(DataRecord::Nome, name);
        record.SetText(DataRecord::Tipo, QStringLiteral("Postale"));
        record.SetText(DataRecord::Note, QStringLiteral("nota di ") + name);
        file.Append(record);
    }
}

std::unique_ptr<RecordPicker> NewPicker(AppFixture& fixture, bool import) {
    if (import) return std::make_unique<TfrmImportaIndirizzi>(*fixture.app, &fixture.app->frmArchivio_Etichette());
    return std::make_unique<TfrmTrovaIndirizzi>(*fixture.app, &fixture.app->frmArchivio_Indirizzi());
}

int CurrentRow(const RecordPicker& picker) {
    const QModelIndex index = picker.lstRecords->currentIndex();
    return index.isValid() ? index.row() : -1;
}

const QStringList kNames = {QStringLiteral("verdi"), QStringLiteral("   "), QStringLiteral("Bianchi"),
                            QStringLiteral("ROSSI")};

TEST(SummaryWindow, StampaPrintsEveryItemOfTheListWhateverTheSearch) {
    struct Case {
        bool import;
        const char* title;
    };
    for (const Case c : {Case{false, "Riepilogo etichette in archivio"}, Case{true, "Riepilogo dati in archivio"}}) {
        SCOPED_TRACE(c.title);
        AppFixture fixture;
        WriteArchive(fixture.folder.Path(), kNames);
        UseFakePrinters fake({QStringLiteral("Ufficio")});
        MessageLog log;
        auto picker = NewPicker(fixture, c.import);
        QStringList listed;
        ModalScript script;
        script.Then([&](QDialog&) {
            listed = picker->ItemTexts();
            ASSERT_EQ(listed.size(), 3);
            picker->txtTrova->setText(QStringLiteral("rossi"));
            picker->btnTrova->click();
            ASSERT_EQ(CurrentRow(*picker), 1);
            // Printed twice from the same window: the lines never pile up.
            for (int print = 1; print <= 2; ++print) {
                picker->btnStampa->click();
                EXPECT_TRUE(picker->isVisible());
                EXPECT_EQ(picker->ItemTexts(), listed);
                EXPECT_EQ(CurrentRow(*picker), 1);
                EXPECT_EQ(S(picker->txtTrova->text()), "rossi");
                EXPECT_EQ(TextsOf(PrintedTexts(*picker->repRiepilogo, Part::Body)), listed);
            }
        });
        for (int print = 1; print <= 2; ++print) {
            script.Then([&](QDialog& dialog) {
                auto& printDialog = dynamic_cast<TfrmPrintDialog&>(dialog);
                EXPECT_EQ(S(dialog.windowTitle()), "Stampa");
                fake.printers->first = picker->repRiepilogo->PreparedPages().data();
                printDialog.btnOK->click();
            });
        }
        ui::RunModal(*picker);
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(log.messages.empty()) << S(log.Texts().join(u'|'));

        ASSERT_EQ(fake.printers->jobs.size(), 2u);
        EXPECT_EQ(S(fake.printers->jobs[0].printer), "Ufficio");
        EXPECT_EQ(fake.printers->jobs[0].pages, std::vector<int>{0});
        const TrepReport& printed = *picker->repRiepilogo;
        EXPECT_EQ(TextsOf(PrintedTexts(printed, Part::Title)), QStringList{QString::fromLatin1(c.title)});
        const QStringList footer = TextsOf(PrintedTexts(printed, Part::Footer));
        ASSERT_EQ(footer.size(), 1);
        static const QRegularExpression kFooter(
            QStringLiteral("^Stampa eseguita in data \\d\\d/\\d\\d/\\d{4} alle ore \\d\\d?:\\d\\d:\\d\\d"));
        EXPECT_TRUE(kFooter.match(footer[0]).hasMatch()) << S(footer[0]);
    }
}

TEST(SummaryWindow, CancellingThePrintDialogPrintsNothingAndKeepsTheWindow) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), kNames);
    UseFakePrinters fake({QStringLiteral("Ufficio")});
    MessageLog log;
    auto picker = NewPicker(fixture, false);
    ModalScript script;
    script.Then([&](QDialog&) {
        const QStringList listed = picker->ItemTexts();
        picker->lstRecords->setCurrentIndex(picker->lstRecords->model()->index(2, 0));
        picker->btnStampa->click();
        EXPECT_TRUE(picker->isVisible());
        EXPECT_EQ(picker->ItemTexts(), listed);
        EXPECT_EQ(CurrentRow(*picker), 2);
    });
    script.Then([](QDialog& dialog) { dynamic_cast<TfrmPrintDialog&>(dialog).btnCancel->click(); });
    ui::RunModal(*picker);
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(fake.printers->jobs.empty());
    EXPECT_TRUE(log.messages.empty());
}

}  // namespace
