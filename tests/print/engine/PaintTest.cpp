#include "support/Templates.h"

#include "support/TestSupport.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace report_tests {
namespace {

class Paint : public testing::Test {
protected:
    void SetUp() override { testing_support::EnsureApplication(); }
    QTemporaryDir dir;
};

TEST_F(Paint, PdfPutsTextWhereTheRuleSays) {
    for (TPrinterOrientation orientation : {poPortrait, poLandscape}) {
        auto report = PositionsPage(orientation);
        ASSERT_TRUE(report->PrepareReport(true));
        const QString pdf = dir.filePath(QStringLiteral("positions.pdf"));
        WritePdf(PagesFor(report->PreparedPages()), pdf);
        ExpectPositions(PdfWords(pdf));
    }
}

TEST_F(Paint, TextIsCutAtItsBoxAndDoesNotWrap) {
    auto report = NewReport();
    TrepReportPage& page = PageOf(*report);
    AddMemo(page, "long", {MmToUnits(10), MmToUnits(10), MmToUnits(30), MmToUnits(3.5)},
            QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"), "Arial", 7);
    ASSERT_TRUE(report->PrepareReport(true));
    ASSERT_EQ(Texts(report->PreparedPages()[0]).size(), 1u);
    for (double dpi : {96.0, 300.0}) {
        const QImage image = RenderPage(report->PreparedPages()[0], dpi);
        // Box on paper: 20..50 mm across, 20..23.5 mm down.
        const QRectF ink = InkMm(image, dpi, {0, 0, 210, 297});
        ASSERT_FALSE(ink.isEmpty());
        const double pixel = 25.4 / dpi;
        EXPECT_NEAR(ink.left(), 20 + UnitsToMm(kInsetX), 0.1 + pixel);
        EXPECT_NEAR(ink.right(), 50, pixel) << "ink reaches the box's edge and stops there";
        EXPECT_GE(ink.top(), 20);
        EXPECT_LE(ink.bottom(), 23.5 + pixel) << "nothing below the box";
    }
}

TEST_F(Paint, ShapesAndFillsAreDrawnUnderTheirTexts) {
    auto report = NewReport();
    TrepReportPage& page = PageOf(*report);
    auto& shape = page.Add<TrepShapeView>(QStringLiteral("Shape1"));
    shape.Left = MmToUnits(10);
    shape.Top = MmToUnits(10);
    shape.Width = MmToUnits(40);
    shape.Height = MmToUnits(20);
    shape.Color = claLightyellow;
    shape.Frame.Color = claBrown;
    auto& title = AddMemo(page, "t", {MmToUnits(60), MmToUnits(10), MmToUnits(40), MmToUnits(6)}, "X", "Verdana", 9);
    title.Color = claSlategray;
    title.Font.Color = claWhite;
    ASSERT_TRUE(report->PrepareReport(true));
    const double dpi = 200, px = dpi / 25.4;
    const QImage image = RenderPage(report->PreparedPages()[0], dpi);
    auto at = [&](double xMm, double yMm) { return QColor(image.pixel(int(xMm * px), int(yMm * px))); };
    EXPECT_EQ(at(40, 30), claLightyellow);  // inside the shape
    EXPECT_EQ(at(20, 20), claBrown);        // its left edge (10 mm margin + 10 mm)
    EXPECT_EQ(at(40, 15), claWhite);        // paper outside it
    EXPECT_EQ(at(108, 25), claSlategray);   // the text's fill (70..110 mm, 20..26 mm)
}

// Only a line whose ink could cross its box is clipped: one wider than its
// box, one in a box lower than its letters.
TEST_F(Paint, OnlyLinesThatCouldCrossTheirBoxesAreClipped) {
    struct Case {
        const char* what;
        QRectF box;  // units, on a page 1,047 units high
        QString text;
        QString font;
        double points;
        bool clipped;  // every line of the box
    };
    const Case cases[] = {
        {"a short line in a wide box", {10, 10, 300, 20}, QStringLiteral("Via Roma 1"), QStringLiteral("Arial"), 7, false},
        {"the summary's Courier line", {10, 10, 1000, 20}, QStringLiteral("Rossi Bianchi  Tipo: Postale  Note: x"),
         QStringLiteral("Courier New"), 8, false},
        {"a line wider than its box", {10, 10, 60, 20}, QStringLiteral("Via Giuseppe Garibaldi 1"),
         QStringLiteral("Arial"), 7, true},
        {"a line just over its box's edge", {10, 10, 28, 20}, QStringLiteral("WWW"), QStringLiteral("Arial"), 7, true},
        {"a box lower than its letters", {10, 10, 300, 8}, QStringLiteral("Ágq"), QStringLiteral("Arial"), 7, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto report = NewReport();
        AddMemo(PageOf(*report), QStringLiteral("m"), c.box, c.text, c.font, c.points).WordWrap = false;
        ASSERT_TRUE(report->PrepareReport(true));
        const auto texts = Texts(report->PreparedPages()[0]);
        ASSERT_FALSE(texts.empty());
        for (const PreparedText& text : texts) EXPECT_EQ(text.NeedsClip(), c.clipped) << text.text.toStdString();
    }
}

// Drawing a line without its clip only where it lies well inside its box
// leaves every pixel as clipping every line does, at any resolution.
TEST_F(Paint, LinesDrawnWithoutAClipLookAsClippedOnes) {
    auto report = LabelSheet();
    AddMemo(PageOf(*report), QStringLiteral("wide"), {0, 900, 120, 16}, QStringLiteral("Via Giuseppe Garibaldi 1"))
        .WordWrap = false;
    AddMemo(PageOf(*report), QStringLiteral("mono"), {0, 940, 700, 16}, QStringLiteral("Rossi  Tipo: Postale  Note:"),
            QStringLiteral("Courier New"), 8);
    ASSERT_TRUE(report->PrepareReport(true));
    const PreparedPage& page = report->PreparedPages()[0];
    PreparedPage allClipped = page;
    for (PreparedItem& item : allClipped.items)
        if (auto* text = std::get_if<PreparedText>(&item)) text->ink = QRectF(-1e6, -1e6, 2e6, 2e6);
    int unclipped = 0;
    for (const PreparedText& text : Texts(page)) unclipped += !text.NeedsClip();
    EXPECT_GT(unclipped, 100);
    for (double dpi : {48.0, 96.0, 150.0, 300.0}) {
        SCOPED_TRACE(dpi);
        EXPECT_TRUE(RenderPage(page, dpi) == RenderPage(allClipped, dpi));
    }
}

// A long document is drawn in parts side by side and joined: one file of
// every page in order, each page word for word where the page drawn alone
// puts its words, on either side of the join.
TEST_F(Paint, ALongPdfIsEveryPageAsDrawnAlone) {
    auto report = Summary(12000);
    ASSERT_TRUE(report->PrepareReport(true));
    const std::vector<PreparedPage>& pages = report->PreparedPages();
    ASSERT_GE(pages.size(), 200u) << "long enough for two parts";
    const QString whole = dir.filePath(QStringLiteral("intero.pdf"));
    std::vector<std::pair<long long, long long>> told;
    WritePdf(PagesFor(pages), whole, QStringLiteral("Riepilogo"),
             [&](long long done, long long total) { told.emplace_back(done, total); });
    ASSERT_EQ(PdfPageCount(whole), int(pages.size()));
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), std::make_pair((long long)pages.size(), (long long)pages.size()));
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    const std::vector<PdfWord> words = PdfWords(whole);
    const int middle = int(pages.size()) / 2;
    for (int n : {1, middle, middle + 1, int(pages.size())}) {
        SCOPED_TRACE(n);
        const QString alone = dir.filePath(QStringLiteral("sola.pdf"));
        WritePdf(StreamOf({&pages[std::size_t(n - 1)]}), alone);
        const std::vector<PdfWord> expected = PdfWords(alone);
        std::vector<PdfWord> actual;
        for (const PdfWord& word : words)
            if (word.page == n) actual.push_back(word);
        ASSERT_EQ(actual.size(), expected.size());
        ASSERT_FALSE(actual.empty());
        for (std::size_t i = 0; i < actual.size(); ++i) {
            EXPECT_EQ(actual[i].text, expected[i].text) << i;
            EXPECT_EQ(actual[i].left, expected[i].left) << i;
            EXPECT_EQ(actual[i].top, expected[i].top) << i;
            EXPECT_EQ(actual[i].right, expected[i].right) << i;
            EXPECT_EQ(actual[i].paper, expected[i].paper) << i;
        }
    }
}

}  // namespace
}  // namespace report_tests
