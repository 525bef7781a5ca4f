#include "archive/PickerItem.h"
#include "archive/Riepilogo.h"
#include "report/Prepared.h"
#include "report/Printers.h"

#include <QFileInfo>
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

}  // namespace
