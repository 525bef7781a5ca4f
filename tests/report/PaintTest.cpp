#include "Templates.h"

#include "support/TestSupport.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

// The ink of a page image, in millimetres: the box that holds every pixel
// darker than the paper within `area`.
QRectF InkMm(const QImage& image, double dpi, QRectF areaMm) {
    const double px = dpi / 25.4;
    const QRect area = QRectF(areaMm.left() * px, areaMm.top() * px, areaMm.width() * px, areaMm.height() * px)
                           .toAlignedRect()
                           .intersected(image.rect());
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) return {};
    return QRectF(left / px, top / px, (right + 1 - left) / px, (bottom + 1 - top) / px);
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

}  // namespace
}  // namespace report_tests
