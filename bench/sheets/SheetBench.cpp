// Rendering stored label pages: 1,000 pages of Archivio_Etichette.pro read,
// filled into the label sheet and written to one PDF.
#include "BenchPages.h"

#include "print/engine/Painter.h"
#include "print/engine/Prepared.h"
#include "print/pdf/PdfWriter.h"
#include "print/templates/LabelSheet.h"
#include "core/sheets/SheetRecord.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using bench_sheets::kPages;

QString Archive() {
    static QTemporaryDir dir;
    static const bool filled = (bench_sheets::WritePages(dir.path()), true);
    return filled ? dir.path() : QString();
}

std::vector<report::PreparedPage> PreparePages(const QString& folder) {
    std::vector<report::PreparedPage> pages;
    pages.reserve(kPages);
    SheetRecordFile file;
    file.OpenForReading(folder);
    const auto sheet = label_sheet::Build(label_sheet::kPageName);
    label_sheet::Filler filler(*sheet);
    SheetRecord page;
    while (!file.AtEnd()) {
        file.Read(page);
        filler.FillAndPrepare(label_sheet::PageLines(page));
        pages.push_back(sheet->PreparedPages().front());
    }
    return pages;
}

// Reading, filling and preparing the 1,000 pages.
void BM_PrepareStoredPages(benchmark::State& state) {
    const QString folder = Archive();
    for (auto _ : state) benchmark::DoNotOptimize(PreparePages(folder));
    state.counters["pages/s"] = benchmark::Counter(double(kPages) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrepareStoredPages)->Unit(benchmark::kMillisecond);

// The whole way from the archive to one PDF of 1,000 pages.
void BM_StoredPagesToPdf(benchmark::State& state) {
    const QString folder = Archive();
    QTemporaryDir out;
    for (auto _ : state) {
        const std::vector<report::PreparedPage> pages = PreparePages(folder);
        report::WritePdf(report::PagesFor(pages), out.filePath(QStringLiteral("pagine.pdf")));
    }
    state.counters["pages/s"] = benchmark::Counter(double(kPages) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StoredPagesToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

// One sheet to PDF, as a single print writes it.
void BM_OneSheetToPdf(benchmark::State& state) {
    const std::vector<report::PreparedPage> pages = PreparePages(Archive());
    QTemporaryDir out;
    for (auto _ : state) report::WritePdf(report::StreamOf({&pages.front()}), out.filePath(QStringLiteral("foglio.pdf")));
}
BENCHMARK(BM_OneSheetToPdf)->Unit(benchmark::kMillisecond);

// The same sheet drawn through Qt's own PDF engine with the painter, the way
// single prints were written before the PDF writer: a single sheet must not
// take longer than this.
void BM_OneSheetQPdfWriterReference(benchmark::State& state) {
    const std::vector<report::PreparedPage> pages = PreparePages(Archive());
    QTemporaryDir out;
    for (auto _ : state) {
        QPdfWriter pdf(out.filePath(QStringLiteral("riferimento.pdf")));
        pdf.setResolution(1200);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}, QPageLayout::Millimeter, {}));
        QPainter painter(&pdf);
        report::DrawPage(painter, pages.front(), pdf.logicalDpiX() / report::kUnitsPerInch);
    }
}
BENCHMARK(BM_OneSheetQPdfWriterReference)->Unit(benchmark::kMillisecond);

}  // namespace
