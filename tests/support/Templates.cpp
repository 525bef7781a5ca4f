#include "support/Templates.h"

#include "print/templates/Riepilogo.h"
#include "print/templates/LabelSheet.h"


#include <QImage>
#include <QProcess>

#include <algorithm>
#include <climits>

#include <gtest/gtest.h>

namespace report_tests {

std::unique_ptr<TrepReport> NewReport(const QString& pageName) {
    return NewA4Report(QStringLiteral("repTest"), QString(), pageName, 10);
}

TrepReportPage& PageOf(TrepReport& report) { return *report.ReportPage(); }

TrepMemoView& AddMemo(TrepComponent& parent, const QString& name, QRectF box, const QString& text,
                      const QString& font, double points) {
    auto& memo = parent.Add<TrepMemoView>(name);
    memo.Left = box.left();
    memo.Top = box.top();
    memo.Width = box.width();
    memo.Height = box.height();
    memo.Font.Name = font;
    memo.Font.Height = PointsToHeight(points);
    memo.WordWrap = false;
    memo.SetText(text);
    return memo;
}

std::unique_ptr<TrepReport> Summary(int lines) {
    auto report = summary::Build();
    auto* body = FindObjectAs<TrepMemoView>(*report, QStringLiteral("txtRiepilogo"));
    body->Clear();
    for (int i = 1; i <= lines; ++i) body->Add(QStringLiteral("line %1").arg(i));
    body->Height = body->Count() * summary::kLineHeight;
    FindObjectAs<TrepMasterData>(*report, QStringLiteral("MasterData"))->Height = body->Height + summary::kBandExtra;
    return report;
}

std::unique_ptr<TrepReport> LabelSheet() { return label_sheet::Build(label_sheet::kPageName); }

std::unique_ptr<TrepReport> PositionsPage(TPrinterOrientation orientation) {
    auto report = NewReport();
    TrepReportPage& page = PageOf(*report);
    page.SetOrientation(orientation);
    page.LeftMargin = 12.5;
    page.TopMargin = 7.25;
    AddMemo(page, "a", {MmToUnits(20), MmToUnits(30), MmToUnits(60), MmToUnits(5)}, "Arialseven", "Arial", 7);
    AddMemo(page, "b", {MmToUnits(100), MmToUnits(50), MmToUnits(60), MmToUnits(5)}, "Arialten", "Arial", 10);
    AddMemo(page, "c", {MmToUnits(33.3), MmToUnits(120.7), MmToUnits(80), MmToUnits(5)}, "Couriereight", "Courier New", 8);
    auto& bold = AddMemo(page, "d", {MmToUnits(5), MmToUnits(150), MmToUnits(60), MmToUnits(5)}, "[DATE]", "Verdana", 9);
    bold.Font.Style = fsBold;
    AddMemo(page, "e", {MmToUnits(150), MmToUnits(170), MmToUnits(60), MmToUnits(5)}, "Verdanaeight", "Verdana", 8);
    return report;
}

namespace {
struct Expected {
    const char* text;
    double left, top;  // mm from the paper's corner
};
}  // namespace

void ExpectPositions(const std::vector<PdfWord>& words, bool turned) {
    const double inset = UnitsToMm(kInsetX), insetTop = UnitsToMm(kInsetY);
    const Expected expected[] = {{"Arialseven", 12.5 + 20, 7.25 + 30},
                                 {"Arialten", 12.5 + 100, 7.25 + 50},
                                 {"Couriereight", 12.5 + 33.3, 7.25 + 120.7},
                                 {"[DATE]", 12.5 + 5, 7.25 + 150},
                                 {"Verdanaeight", 12.5 + 150, 7.25 + 170}};
    for (const Expected& e : expected) {
        const PdfWord word = FindWord(words, QString::fromLatin1(e.text));
        const double left = turned ? word.paper.height() - word.bottom : word.left;
        const double top = turned ? word.left : word.top;
        EXPECT_NEAR(left, e.left + inset, 0.1) << e.text;
        EXPECT_NEAR(top, e.top + insetTop, 0.1) << e.text;
    }
}

std::vector<PreparedText> Texts(const PreparedPage& page) {
    std::vector<PreparedText> texts;
    for (const PreparedItem& item : page.items) {
        if (const auto* text = std::get_if<PreparedText>(&item)) texts.push_back(*text);
    }
    return texts;
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

QImage RenderedPdf(const QString& pdf, int dpi) {
    ExpectSoundPdf(pdf);
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), pdf, pdf + QStringLiteral(".page")});
    render.waitForFinished();
    return QImage(pdf + QStringLiteral(".page.png"));
}

}  // namespace report_tests
