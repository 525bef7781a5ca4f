#include "support/Templates.h"

#include <gtest/gtest.h>

#include <cmath>

namespace report_tests {
namespace {

TEST(ReportModel, FindObjectVisitsDepthFirstIgnoringAsciiCase) {
    auto report = Summary(1);
    auto* band = report->FindObject(QStringLiteral("masterdata"));
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->Name, QStringLiteral("MasterData"));
    EXPECT_NE(dynamic_cast<TrepMasterData*>(band), nullptr);
    EXPECT_EQ(FindObjectAs<TrepMemoView>(*report, QStringLiteral("TXTRIEPILOGO"))->Name, QStringLiteral("txtRiepilogo"));
    EXPECT_EQ(report->FindObject(QStringLiteral("txtNessuno")), nullptr);
    EXPECT_EQ(FindObjectAs<TrepMemoView>(*report, QStringLiteral("MasterData")), nullptr);

    // Depth first: a name inside an earlier band wins over a later free object.
    AddMemo(PageOf(*report), QStringLiteral("TXTTITOLO"), {0, 0, 10, 10}, QStringLiteral("later"));
    EXPECT_EQ(report->FindObject(QStringLiteral("txttitolo"))->Name, QStringLiteral("txtTitolo"));

    // Only ASCII letters fold.
    AddMemo(PageOf(*report), QString::fromUtf8("Città"), {0, 0, 10, 10}, {});
    EXPECT_EQ(report->FindObject(QString::fromUtf8("CITTà"))->Name, QString::fromUtf8("Città"));
    EXPECT_EQ(report->FindObject(QString::fromUtf8("CITTÀ")), nullptr);
}

TEST(ReportModel, PagesHoldTheDataPageThenThePrintablePage) {
    auto report = NewReport();
    EXPECT_NE(dynamic_cast<TrepDataPage*>(report->Pages(0)), nullptr);
    EXPECT_EQ(report->Pages(1), report->ReportPage());
    EXPECT_EQ(report->Pages(2), nullptr);
}

TEST(ReportModel, MemoLinesAreSetClearedAddedAndCounted) {
    TrepMemoView memo;
    memo.SetText(QStringLiteral("one\r\ntwo\nthree\rfour"));
    EXPECT_EQ(memo.Memo(), QStringList({"one", "two", "three", "four"}));
    memo.SetText({});
    EXPECT_EQ(memo.Count(), 1);
    memo.Clear();
    EXPECT_EQ(memo.Count(), 0);
    memo.Add(QStringLiteral("a"));
    memo.Add(QString());
    EXPECT_EQ(memo.Memo(), QStringList({"a", ""}));
}

struct TurnCase {
    TPrinterOrientation from, to;
    double left, top, right, bottom;      // before
    double width, height;                 // after
    double newLeft, newTop, newRight, newBottom;
};

class Orientation : public testing::TestWithParam<TurnCase> {};

TEST_P(Orientation, TurnsPaperAndMargins) {
    const TurnCase& c = GetParam();
    TrepReportPage page;
    if (c.from == poLandscape) page.SetOrientation(poLandscape);
    page.LeftMargin = c.left;
    page.TopMargin = c.top;
    page.RightMargin = c.right;
    page.BottomMargin = c.bottom;
    page.SetOrientation(c.to);
    EXPECT_EQ(page.Orientation(), c.to);
    EXPECT_EQ(page.PaperWidth, c.width);
    EXPECT_EQ(page.PaperHeight, c.height);
    EXPECT_EQ(page.LeftMargin, c.newLeft);
    EXPECT_EQ(page.TopMargin, c.newTop);
    EXPECT_EQ(page.RightMargin, c.newRight);
    EXPECT_EQ(page.BottomMargin, c.newBottom);
    EXPECT_EQ(std::lround(MmToUnits(page.PaperWidth)), c.width == 210 ? 794 : 1123);
    EXPECT_EQ(std::lround(MmToUnits(page.PaperHeight)), c.height == 210 ? 794 : 1123);
}

INSTANTIATE_TEST_SUITE_P(
    ReportModel, Orientation,
    testing::Values(TurnCase{poPortrait, poPortrait, 10, 20, 30, 40, 210, 297, 10, 20, 30, 40},
                    TurnCase{poPortrait, poLandscape, 10, 20, 30, 40, 297, 210, 20, 30, 40, 10},
                    TurnCase{poLandscape, poPortrait, 20, 30, 40, 10, 210, 297, 10, 20, 30, 40},
                    TurnCase{poLandscape, poLandscape, 20, 30, 40, 10, 297, 210, 20, 30, 40, 10}));

TEST(ReportModel, MarginWritesAfterTurningStayAsWritten) {
    TrepReportPage page;
    page.SetOrientation(poLandscape);
    page.TopMargin = 15;
    page.LeftMargin = 25;
    EXPECT_EQ(page.TopMargin, 15);
    EXPECT_EQ(page.LeftMargin, 25);
    EXPECT_EQ(page.PaperWidth, 297);
}

}  // namespace
}  // namespace report_tests
