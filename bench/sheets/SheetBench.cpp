// Rendering stored label pages: 1,000 pages of Archivio_Etichette.pro read,
// filled into the label sheet and written to one PDF.
#include "report/Prepared.h"
#include "report/Printers.h"
#include "sheets/LabelSheet.h"
#include "sheets/SheetRecord.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kPages = 1000;

QString Archive() {
    static QTemporaryDir dir;
    static const bool filled = [] {
        SheetRecordFile file(dir.path());
        for (int p = 0; p < kPages; ++p) {
            SheetRecord page;
            for (int slot = 1; slot <= label_grid::kSlots; ++slot) {
                page.field[SheetRecord::NameField(slot)] = EncodeShortText(QStringLiteral("Cliente %1").arg(slot));
                for (int line = 1; line <= label_grid::kLines; ++line)
                    page.field[SheetRecord::LineField(line, slot)] =
                        EncodeShortText(QStringLiteral("Pagina %1 etichetta %2 rigo %3").arg(p).arg(slot).arg(line));
            }
            file.Append(page);
        }
        return true;
    }();
    return filled ? dir.path() : QString();
}

std::vector<report::PreparedPage> PreparePages(const QString& folder) {
    std::vector<report::PreparedPage> pages;
    pages.reserve(kPages);
    SheetRecordFile file;
    file.OpenForReading(folder);
    const auto sheet = label_sheet::Build(label_sheet::kPageName);
    SheetRecord page;
    while (!file.AtEnd()) {
        file.Read(page);
        label_sheet::FillAndPrepare(*sheet, label_sheet::PageLines(page));
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

}  // namespace
