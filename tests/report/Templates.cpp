#include "Templates.h"

#include <QProcess>
#include <QXmlStreamReader>

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
    auto report = NewReport(QStringLiteral("Page"));
    TrepReportPage& page = PageOf(*report);
    page.SetOrientation(poLandscape);
    const double width = MmToUnits(277);
    auto& title = page.Add<TrepReportTitle>(QStringLiteral("ReportTitle"));
    title.Height = MmToUnits(8);
    title.Width = width;
    auto& titleText = AddMemo(title, QStringLiteral("txtTitolo"), {MmToUnits(2), MmToUnits(1), MmToUnits(273), MmToUnits(5)},
                              QStringLiteral("Riepilogo"), QStringLiteral("Verdana"), 9);
    auto& master = page.Add<TrepMasterData>(QStringLiteral("MasterData"));
    master.Width = width;
    master.AllowSplit = true;
    auto& body = AddMemo(master, QStringLiteral("txtRiepilogo"), {MmToUnits(3), 0, MmToUnits(273), 0}, {},
                         QStringLiteral("Courier New"), 8);
    body.Clear();
    for (int i = 1; i <= lines; ++i) body.Add(QStringLiteral("line %1").arg(i));
    body.Height = body.Count() * 12.822;
    master.Height = body.Height + 10;
    auto& footer = page.Add<TrepFooter>(QStringLiteral("Footer"));
    footer.Height = MmToUnits(8);
    footer.Width = width;
    auto& footerText = AddMemo(footer, QStringLiteral("txtPagina"), {MmToUnits(3), MmToUnits(2), MmToUnits(272), MmToUnits(5)},
                               QStringLiteral("Stampa eseguita in data [DATE]"), QStringLiteral("Verdana"), 8);
    for (TrepMemoView* bar : {&titleText, &footerText}) {
        bar->Font.Style = fsBold;
        bar->Font.Color = claWhite;
        bar->Color = claSlategray;
        bar->HAlign = haCenter;
    }
    return report;
}

std::unique_ptr<TrepReport> LabelSheet() {
    auto report = NewReport();
    TrepReportPage& page = PageOf(*report);
    for (int slot = 1; slot <= 24; ++slot) {
        const double left = 64.0 * ((slot - 1) % 3), top = 35.0 * ((slot - 1) / 3);
        auto& shape = page.Add<TrepShapeView>(QStringLiteral("Shape%1").arg(slot));
        shape.Left = MmToUnits(left);
        shape.Top = MmToUnits(top);
        shape.Width = MmToUnits(62);
        shape.Height = MmToUnits(32);
        shape.Color = shape.Frame.Color = claLightyellow;
        for (int line = 1; line <= 6; ++line) {
            const double lineTop = top + 2.0 + 5.0 * (line - 1) - (slot <= 3 ? 0.2 : 0);
            auto& memo = AddMemo(page, QStringLiteral("txtRigo%1_E%2").arg(line, 2, 10, QChar('0')).arg(slot, 2, 10, QChar('0')),
                                 {MmToUnits(left + 2), MmToUnits(lineTop), MmToUnits(58.2), MmToUnits(3.5)},
                                 QStringLiteral("INDIRIZZO RIGO %1").arg(line));
            if (line == 1) memo.Font.Style = fsBold;
        }
    }
    return report;
}

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

}  // namespace report_tests

