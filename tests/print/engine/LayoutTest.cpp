#include "support/Templates.h"

#include "support/TestSupport.h"

#include <QFontMetricsF>
#include <QImage>

#include <gtest/gtest.h>

namespace report_tests {
namespace {

class Layout : public testing::Test {
protected:
    void SetUp() override { testing_support::EnsureApplication(); }
};

struct PitchCase {
    const char* font;
    double points;
    double pitch;  // units
    // Whether the ink of the last line stays inside a box of lines x pitch
    // units, as the summary sizes its Courier New body.
    bool fitsPitchedBox;
};

class LinePitchRule : public testing::TestWithParam<PitchCase> {
protected:
    void SetUp() override { testing_support::EnsureApplication(); }
};

// Each font of the templates: the written pitch, lines of a prepared text
// that far apart, and the face's ink (capitals to descenders) inside a line.
TEST_P(LinePitchRule, HoldsForTheTemplateFonts) {
    const PitchCase& c = GetParam();
    TrepFont font;
    font.Name = QString::fromLatin1(c.font);
    font.Height = PointsToHeight(c.points);
    EXPECT_NEAR(LinePitch(font), c.pitch, 1e-9);

    auto report = NewReport();
    AddMemo(PageOf(*report), QStringLiteral("m"), {0, 0, 400, 100}, QStringLiteral("ÁHg\nÉjpq\nyÇ"), font.Name, c.points);
    ASSERT_TRUE(report->PrepareReport(true));
    const auto texts = Texts(report->PreparedPages()[0]);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_DOUBLE_EQ(texts[0].top, kInsetY);
    EXPECT_NEAR(texts[1].top - texts[0].top, c.pitch, 1e-9);
    EXPECT_NEAR(texts[2].top - texts[1].top, c.pitch, 1e-9);

    const UnitFont unit = MakeFont(font);
    const QFontMetricsF metrics(unit.font, UnitsDevice());
    const QRectF ink = metrics.tightBoundingRect(QStringLiteral("Hgjpqy"));
    EXPECT_LE(ink.height() * unit.scale, LineHeight(font));
    EXPECT_GE(texts[0].baseline - texts[0].top + ink.top() * unit.scale, 0) << "capitals rise above the line";
    if (c.fitsPitchedBox) {
        EXPECT_LE(texts[0].baseline - texts[0].top + ink.bottom() * unit.scale, c.pitch - kInsetY)
            << "the last line's descenders are cut";
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, LinePitchRule,
                         testing::Values(PitchCase{"Courier New", 8, 12.822, true}, PitchCase{"Arial", 7, 11.46925, true},
                                         PitchCase{"Arial", 10, 15.5275, false},
                                         PitchCase{"Verdana", 8, 12.822, false},
                                         PitchCase{"Verdana", 9, 14.17475, false}));

TEST_F(Layout, FreeObjectsStandOnOnePageInTemplateOrder) {
    auto report = LabelSheet();
    ASSERT_TRUE(report->PrepareReport(true));
    ASSERT_EQ(report->PreparedPages().size(), 1u);
    const PreparedPage& page = report->PreparedPages()[0];
    EXPECT_EQ(page.paperWidth, 210);
    EXPECT_EQ(page.leftMargin, 10);
    ASSERT_EQ(page.items.size(), 24u * 7u);
    // One item per object, in the template's order: a rectangle for each
    // shape, a line for each one-line text.
    const auto& objects = PageOf(*report).Children();
    ASSERT_EQ(objects.size(), page.items.size());
    std::size_t lastShape = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const bool shape = dynamic_cast<const TrepShapeView*>(objects[i].get()) != nullptr;
        EXPECT_EQ(std::holds_alternative<PreparedRect>(page.items[i]), shape) << objects[i]->Name.toStdString();
        if (objects[i]->Name == QStringLiteral("Shape24")) lastShape = i;
    }
    // Shape of slot 1 first; the first line of slot 1 above it.
    const auto& shape = std::get<PreparedRect>(page.items[0]);
    EXPECT_EQ(shape.rect, QRectF(0, 0, MmToUnits(62), MmToUnits(32)));
    EXPECT_EQ(shape.fill, claLightyellow);
    const auto first = Texts(page);
    const PreparedText& line1 = first.front();
    EXPECT_EQ(line1.text, QStringLiteral("INDIRIZZO RIGO 1"));
    EXPECT_DOUBLE_EQ(line1.x, MmToUnits(2) + kInsetX);
    EXPECT_DOUBLE_EQ(line1.top, MmToUnits(1.8) + kInsetY);
    EXPECT_EQ(line1.clip, QRectF(MmToUnits(2), MmToUnits(1.8), MmToUnits(58.2), MmToUnits(3.5)));
    EXPECT_TRUE(line1.font.Style & fsBold);
    // The shape of slot 24 closes the grid at the printable area's corner.
    const auto& last = std::get<PreparedRect>(page.items[lastShape]);
    EXPECT_NEAR(UnitsToMm(last.rect.right()), 190, 1e-9);
    EXPECT_NEAR(UnitsToMm(last.rect.bottom()), 277, 1e-9);

    // An envelope-like page turned to landscape: still one page.
    auto envelope = NewReport();
    PageOf(*envelope).SetOrientation(poLandscape);
    for (int i = 0; i < 6; ++i) AddMemo(PageOf(*envelope), QStringLiteral("r%1").arg(i), {0, 30.0 * i, 300, 20}, "x", "Arial", 10);
    ASSERT_TRUE(envelope->PrepareReport(true));
    EXPECT_EQ(envelope->PreparedPages().size(), 1u);
    EXPECT_EQ(envelope->PreparedPages()[0].orientation, poLandscape);
    EXPECT_EQ(envelope->PreparedPages()[0].paperWidth, 297);
}

TEST_F(Layout, BandsStackTitleMasterCopiesThenFooter) {
    auto report = NewReport();
    TrepReportPage& page = PageOf(*report);
    // Template order footer, master, title: placing follows the band kinds.
    auto& footer = page.Add<TrepFooter>(QStringLiteral("Footer"));
    footer.Height = 20;
    AddMemo(footer, "f", {0, 3, 100, 15}, "footer");
    auto& master = page.Add<TrepMasterData>(QStringLiteral("MasterData"));
    master.Height = 30;
    master.RowCount = 3;
    AddMemo(master, "m", {5, 2, 100, 15}, "row");
    auto& title = page.Add<TrepReportTitle>(QStringLiteral("Title"));
    title.Height = 40;
    AddMemo(title, "t", {0, 0, 100, 15}, "title");

    ASSERT_TRUE(report->PrepareReport(true));
    ASSERT_EQ(report->PreparedPages().size(), 1u);
    const auto texts = Texts(report->PreparedPages()[0]);
    std::vector<std::pair<QString, double>> placed;
    for (const PreparedText& t : texts) placed.emplace_back(t.text, t.top);
    const std::vector<std::pair<QString, double>> expected = {
        {"title", 0 + 1}, {"row", 40 + 2 + 1}, {"row", 70 + 2 + 1}, {"row", 100 + 2 + 1}, {"footer", 130 + 3 + 1}};
    EXPECT_EQ(placed, expected);

    // Preparing again replaces the pages.
    ASSERT_TRUE(report->PrepareReport(true));
    EXPECT_EQ(report->PreparedPages().size(), 1u);
}

TEST_F(Layout, LongMasterBandSplitsBetweenWholeLinesAcrossLandscapePages) {
    auto report = Summary(200);
    ASSERT_TRUE(report->PrepareReport(true));
    const auto& pages = report->PreparedPages();
    ASSERT_GE(pages.size(), 3u);
    const double printable = MmToUnits(190);
    const double lineHeight = 12.822 - kLineSpacing;
    int expectedLine = 1;
    double lastLineTop = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(pages[p].orientation, poLandscape);
        EXPECT_EQ(pages[p].paperWidth, 297);
        const auto texts = Texts(pages[p]);
        bool firstBodyLine = true;
        for (const PreparedText& t : texts) {
            if (t.text == QStringLiteral("Riepilogo")) {
                EXPECT_EQ(p, 0u) << "the title stands on the first page only";
                continue;
            }
            if (!t.text.startsWith(QStringLiteral("line "))) continue;
            EXPECT_EQ(t.text, QStringLiteral("line %1").arg(expectedLine++));
            EXPECT_LE(t.top + lineHeight, printable + 1e-9) << "a line crosses the page end";
            EXPECT_GE(t.top, t.clip.top());
            EXPECT_LE(t.top + lineHeight, t.clip.bottom() + 1e-9);
            if (p > 0 && firstBodyLine) {
                EXPECT_NEAR(t.top, 0, 1e-9) << "page " << p + 1 << " starts at its top";
            }
            firstBodyLine = false;
            lastLineTop = t.top;
        }
    }
    EXPECT_EQ(expectedLine, 201);

    // The footer follows the last line: the rest of the body's last line, the
    // band's 10 extra units, then the footer text's own offset and inset.
    const auto lastTexts = Texts(pages.back());
    ASSERT_EQ(lastTexts.back().text, QStringLiteral("Stampa eseguita in data [DATE]"));
    EXPECT_NEAR(lastTexts.back().top, lastLineTop + (12.822 - kInsetY) + 10 + MmToUnits(2) + kInsetY, 1e-6);
    // Page one: title, then the lines that fit whole under it.
    const auto first = Texts(pages[0]);
    EXPECT_EQ(first.size(), 1u + size_t((printable - MmToUnits(8) - kInsetY - lineHeight) / 12.822) + 1u);
}

TEST_F(Layout, SplitBandCutsItsFillsAtThePageEnd) {
    auto report = NewReport();
    auto& master = PageOf(*report).Add<TrepMasterData>(QStringLiteral("MasterData"));
    master.AllowSplit = true;
    master.Height = MmToUnits(400);
    auto& memo = AddMemo(master, "body", {0, 0, 100, MmToUnits(400)}, {}, "Courier New", 8);
    memo.Color = claSlategray;
    for (int i = 0; i < 100; ++i) memo.Add(QString::number(i));
    ASSERT_TRUE(report->PrepareReport(true));
    const auto& pages = report->PreparedPages();
    ASSERT_EQ(pages.size(), 2u);
    const auto& fill1 = std::get<PreparedRect>(pages[0].items.front());
    const auto& fill2 = std::get<PreparedRect>(pages[1].items.front());
    const double cut = fill1.rect.height();
    EXPECT_LE(cut, MmToUnits(277));
    EXPECT_EQ(fill2.rect.top(), 0);
    EXPECT_NEAR(cut + fill2.rect.height(), MmToUnits(400), 1e-9);
    // The cut passes at the top of the first line of page 2.
    EXPECT_NEAR(cut, kInsetY + 12.822 * Texts(pages[0]).size(), 1e-9);
}

TEST_F(Layout, WrapsAtWordsOrKeepsOneLineAndCentres) {
    auto report = NewReport();
    auto& wrapped = AddMemo(PageOf(*report), "w", {0, 0, 120, 200}, QStringLiteral("alpha beta gamma delta epsilon zeta"));
    wrapped.WordWrap = true;
    AddMemo(PageOf(*report), "n", {0, 300, 120, 20}, QStringLiteral("alpha beta gamma delta epsilon zeta"));
    auto& centred = AddMemo(PageOf(*report), "c", {50, 400, 200, 20}, QStringLiteral("middle"));
    centred.HAlign = haCenter;
    ASSERT_TRUE(report->PrepareReport(true));
    const auto texts = Texts(report->PreparedPages()[0]);

    const UnitFont unit = MakeFont(wrapped.Font);
    const QFontMetricsF metrics(unit.font, UnitsDevice());
    QStringList lines;
    for (const PreparedText& t : texts) {
        if (t.top >= 300) break;
        lines << t.text;
        EXPECT_LE(metrics.horizontalAdvance(t.text) * unit.scale, 120 - 2 * kInsetX);
    }
    EXPECT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(u' '), QStringLiteral("alpha beta gamma delta epsilon zeta"));
    const PreparedText& single = texts[lines.size()];
    EXPECT_EQ(single.text, QStringLiteral("alpha beta gamma delta epsilon zeta"));
    EXPECT_EQ(texts.size(), size_t(lines.size()) + 2u) << "an unwrapped line stays one line";
    EXPECT_NEAR(texts.back().x, 50 + (200 - metrics.horizontalAdvance(QStringLiteral("middle")) * unit.scale) / 2, 1e-9);
}

TEST_F(Layout, ErrorsAreCollectedAndNothingIsShown) {
    testing_support::MessageLog log;
    auto report = NewReport();
    PageOf(*report).TopMargin = 150;
    PageOf(*report).BottomMargin = 150;
    const PrepareResult prepared = report->PrepareReport(true);
    EXPECT_FALSE(prepared);
    EXPECT_EQ(prepared.errors, QStringList({"Page1: the margins leave no printable area"}));
    EXPECT_TRUE(log.messages.empty()) << "the caller tells the user";
    EXPECT_TRUE(report->PreparedPages().empty());
}

TEST_F(Layout, BandTallerThanAPageWithoutSplitStillAdvances) {
    auto report = NewReport();
    auto& master = PageOf(*report).Add<TrepMasterData>(QStringLiteral("MasterData"));
    master.Height = MmToUnits(600);
    AddMemo(master, "m", {0, 0, 100, 20}, "x");
    ASSERT_TRUE(report->PrepareReport(true));
    EXPECT_EQ(report->PreparedPages().size(), 3u);
}

}  // namespace
}  // namespace report_tests
