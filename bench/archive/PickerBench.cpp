#include "BenchArchive.h"
#include "core/archive/PickerItem.h"
#include "windows/archive/TrovaIndirizzi.h"

#include <QListView>

#include <benchmark/benchmark.h>

namespace {

using bench_archive::kRecords;
using bench_archive::TheArchive;

// Reading the file into rows and sorting them, without the window.
void BM_ReadAndSortItems(benchmark::State& state) {
    const QString folder = TheArchive().Path();
    double bytes = 0;
    for (auto _ : state) {
        std::vector<PickerItem> items;
        DataRecordFile file(folder);
        ReadPickerItems(file, items);
        SortPickerItems(items);
        benchmark::DoNotOptimize(items.data());
        state.PauseTiming();
        bytes = static_cast<double>(items.capacity() * sizeof(PickerItem));
        for (const PickerItem& item : items)
            bytes += static_cast<double>(item.text.capacity() + 1) * sizeof(QChar) + 16;  // text and its header
        state.ResumeTiming();
    }
    // What the list holds: the rows and their texts.
    state.counters["list_MiB"] = bytes / (1024.0 * 1024.0);
}
BENCHMARK(BM_ReadAndSortItems)->Unit(benchmark::kMillisecond);

// Reading the file into rows alone, to tell it from the sort.
void BM_ReadItems(benchmark::State& state) {
    const QString folder = TheArchive().Path();
    for (auto _ : state) {
        std::vector<PickerItem> items;
        DataRecordFile file(folder);
        ReadPickerItems(file, items);
        benchmark::DoNotOptimize(items.data());
    }
}
BENCHMARK(BM_ReadItems)->Unit(benchmark::kMillisecond);

// The find picker shown and filled, its list laid out and painted once.
void BM_ShowFindPicker(benchmark::State& state) {
    bench_archive::ShowFilled<TfrmTrovaIndirizzi>(state, [](TfrmTrovaIndirizzi& w) { return w.lstRecords; });
}
BENCHMARK(BM_ShowFindPicker)->Unit(benchmark::kMillisecond);

// One press of Trova with a new word that only the last row holds: the
// whole list is searched.
void BM_SearchStepNearTheEnd(benchmark::State& state) {
    std::vector<PickerItem> items;
    DataRecordFile file(TheArchive().Path());
    ReadPickerItems(file, items);
    SortPickerItems(items);
    const QString word = QStringLiteral("zeno");
    int found = -1;
    for (auto _ : state) {
        QString last;
        found = PickerSearchStep(items, -1, word, last);
        benchmark::DoNotOptimize(found);
    }
    if (found != kRecords - 1) state.SkipWithError("the word was not found in the last row");
}
BENCHMARK(BM_SearchStepNearTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace

