#include "print/engine/Layout.h"
#include "print/engine/Model.h"
#include "print/engine/Painter.h"
#include "print/engine/Prepared.h"
#include "print/engine/PrintChoices.h"
#include "print/pdf/PdfWriter.h"
#include "print/printers/Printers.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace report;

// The summary's shape: A4 landscape, 10 mm margins, a title, a splittable
// master band holding `lines` lines of 8 pt Courier New, and a footer. Each
// line's note follows `before`.
std::unique_ptr<TrepReport> Summary(int lines, const QString& before = QStringLiteral("  ")) {
    auto report = std::make_unique<TrepReport>(QStringLiteral("repRiepilogo"));
    report->Add<TrepDataPage>(QStringLiteral("Data"));
    TrepReportPage& page = report->Add<TrepReportPage>(QStringLiteral("Page"));
    page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = 10;
    page.SetOrientation(poLandscape);
    auto addText = [](TrepBand& band, const QString& name, double top, double height, const QString& font,
                      double points) -> TrepMemoView& {
        auto& memo = band.Add<TrepMemoView>(name);
        memo.Left = MmToUnits(3);
        memo.Top = top;
        memo.Width = MmToUnits(272);
        memo.Height = height;
        memo.Font.Name = font;
        memo.Font.Height = PointsToHeight(points);
        memo.WordWrap = false;
        return memo;
    };
    auto& title = page.Add<TrepReportTitle>(QStringLiteral("ReportTitle"));
    title.Height = MmToUnits(8);
    addText(title, QStringLiteral("txtTitolo"), MmToUnits(1), MmToUnits(5), QStringLiteral("Verdana"), 9)
        .SetText(QStringLiteral("Riepilogo dati in archivio"));
    auto& master = page.Add<TrepMasterData>(QStringLiteral("MasterData"));
    master.AllowSplit = true;
    auto& body = addText(master, QStringLiteral("txtRiepilogo"), 0, lines * 12.822, QStringLiteral("Courier New"), 8);
    for (int i = 0; i < lines; ++i) {
        body.Add(QStringLiteral("%1  Tipo: %2%3Note: nota del record numero %4")
                     .arg(QStringLiteral("Nome %1").arg(i), -40)
                     .arg(QStringLiteral("Tipo"), -28)
                     .arg(before)
                     .arg(i));
    }
    master.Height = body.Height + 10;
    auto& footer = page.Add<TrepFooter>(QStringLiteral("Footer"));
    footer.Height = MmToUnits(8);
    addText(footer, QStringLiteral("txtPagina"), MmToUnits(2), MmToUnits(5), QStringLiteral("Verdana"), 8)
        .SetText(QStringLiteral("Stampa eseguita in data 09/12/2025 alle ore 14:05:33"));
    return report;
}

void BM_Prepare100000Lines(benchmark::State& state) {
    auto report = Summary(100000);
    for (auto _ : state) {
        report->PrepareReport(true);
        benchmark::DoNotOptimize(report->PreparedPages().size());
    }
    state.counters["pages"] = double(report->PreparedPages().size());
}
BENCHMARK(BM_Prepare100000Lines)->Unit(benchmark::kMillisecond);

// 1,000 pages of the summary written to PDF; with `before` a tab, each line
// goes through Qt's own layout instead of the writer's shaper.
void Draw1000PagesToPdf(benchmark::State& state, const QString& before) {
    auto report = Summary(56 * 1000, before);
    report->PrepareReport(true);
    std::vector<PreparedPage> pages(report->PreparedPages().begin(), report->PreparedPages().begin() + 1000);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    for (auto _ : state) WritePdf(PagesFor(pages), path);
    state.counters["pages"] = double(pages.size());
    state.counters["bytes"] = double(QFileInfo(path).size());
}
void BM_Draw1000PagesToPdf(benchmark::State& state) { Draw1000PagesToPdf(state, QStringLiteral("  ")); }
BENCHMARK(BM_Draw1000PagesToPdf)->Unit(benchmark::kMillisecond);

void BM_Draw1000PagesLaidOutByQtToPdf(benchmark::State& state) { Draw1000PagesToPdf(state, QStringLiteral("\t")); }
BENCHMARK(BM_Draw1000PagesLaidOutByQtToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
