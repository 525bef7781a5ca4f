#include "core/archive/PickerItem.h"
#include "print/templates/Riepilogo.h"
#include "print/engine/Prepared.h"
#include "print/pdf/PdfWriter.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kRecords = 100000;

// The list of a picker over 100,000 records, in list order: names of two
// random words, a type, notes of 0 to 120 characters (the longer ones wider
// than the body, so cut at its edge).
const QStringList& Items() {
    static const QStringList items = [] {
        std::mt19937 random(42);
        const char* words[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Gallo", "Costa", "Fontana", "Conti",
                               "Marino", "Greco", "Bruno", "Ricci", "Lombardi", "Moretti", "Barbieri", "Colombo"};
        auto word = [&] { return QString::fromLatin1(words[random() % 16]); };
        std::vector<PickerItem> rows;
        rows.reserve(kRecords);
        for (int i = 0; i < kRecords; ++i) {
            const QString note = QStringLiteral("Cliente dal %1 ").arg(2000 + i % 25).repeated(int(random() % 8));
            rows.push_back({PickerItemText(word() + QLatin1Char(' ') + word() + QString::number(i),
                                           QStringLiteral("Etichetta postale"), note.trimmed()),
                            i + 1});
        }
        SortPickerItems(rows);
        QStringList texts;
        for (const PickerItem& row : rows) texts << row.text;
        return texts;
    }();
    return items;
}

const QDateTime kMoment(QDate(2025, 12, 9), QTime(14, 5, 33));

// Filling the summary template with the whole list and laying it out.
void BM_FillAndPrepare100000(benchmark::State& state) {
    const QStringList& items = Items();
    const auto summary = summary::Build();
    for (auto _ : state) {
        if (!summary::FillAndPrepare(*summary, summary::kFindTitle, items, kMoment))
            state.SkipWithError("preparation failed");
        benchmark::DoNotOptimize(summary->PreparedPages().data());
    }
    state.counters["pages"] = double(summary->PreparedPages().size());
}
BENCHMARK(BM_FillAndPrepare100000)->Unit(benchmark::kMillisecond);

// Drawing every page of that summary into one PDF.
void BM_Draw100000ToPdf(benchmark::State& state) {
    const auto summary = summary::Build();
    summary::FillAndPrepare(*summary, summary::kFindTitle, Items(), kMoment);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("riepilogo.pdf"));
    for (auto _ : state) report::WritePdf(report::PagesFor(summary->PreparedPages()), path);
    state.counters["pages"] = double(summary->PreparedPages().size());
    state.counters["MiB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_Draw100000ToPdf)->Unit(benchmark::kMillisecond);

// The reference: a plain QPdfWriter program drawing the same lines of the same
// pages where the summary puts them, one drawText each, no clipping, fonts
// set only when they change. Drawing the summary should take at most half
// its time.
void BM_PlainQPdfWriterReference(benchmark::State& state) {
    const auto summary = summary::Build();
    summary::FillAndPrepare(*summary, summary::kFindTitle, Items(), kMoment);
    const std::vector<report::PreparedPage>& pages = summary->PreparedPages();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("riferimento.pdf"));
    for (auto _ : state) {
        QPdfWriter pdf(path);
        pdf.setResolution(1200);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins({});
        QPainter painter(&pdf);
        const double scale = pdf.logicalDpiX() / report::kUnitsPerInch;
        painter.scale(scale, scale);
        painter.translate(pages.front().LeftMarginUnits(), pages.front().TopMarginUnits());
        QString font;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) pdf.newPage();
            for (const report::PreparedItem& item : pages[i].items) {
                const auto* text = std::get_if<report::PreparedText>(&item);
                if (!text) continue;
                if (text->font.Name != font) {
                    // A plain program's font: its size in points against
                    // the painter's scale.
                    QFont qfont(report::InstalledFamily(text->font.Name));
                    qfont.setPointSizeF(report::HeightToPoints(text->font.Height) * report::kUnitsPerInch /
                                        pdf.logicalDpiY());
                    painter.setFont(qfont);
                    font = text->font.Name;
                }
                painter.drawText(QPointF(text->x, text->baseline), text->text);
            }
        }
    }
    state.counters["pages"] = double(pages.size());
    state.counters["MiB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PlainQPdfWriterReference)->Unit(benchmark::kMillisecond);

}  // namespace
