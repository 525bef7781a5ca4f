#include "app/Velmora.h"
#include "archive/DataRecord.h"
#include "archive/PickerItem.h"
#include "archive/TrovaIndirizzi.h"

#include <QApplication>
#include <QListView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kRecords = 100000;

// A program folder with an archive of 100,000 records: names of two random
// words, a type, six lines and a note; one record, "Zucchi Zeno", sorts last.
class Archive {
public:
    Archive() {
        std::mt19937 random(42);
        const char* words[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Gallo", "Costa", "Fontana", "Conti",
                               "Marino", "Greco", "Bruno", "Ricci", "Lombardi", "Moretti", "Barbieri", "Colombo"};
        auto word = [&] { return QString::fromLatin1(words[random() % 16]); };
        DataRecordFile file(dir_.path());
        DataRecord record;
        for (int i = 0; i < kRecords; ++i) {
            const bool last = i == kRecords / 2;
            record.SetText(DataRecord::Nome, last ? QStringLiteral("Zucchi Zeno")
                                                  : word() + QLatin1Char(' ') + word() + QString::number(i));
            record.SetText(DataRecord::Tipo, QStringLiteral("Etichetta postale"));
            for (int line = 1; line <= 6; ++line)
                record.SetText(DataRecord::Rigo(line), QStringLiteral("Via %1, %2").arg(word()).arg(line));
            record.SetText(DataRecord::Note, QStringLiteral("Cliente dal %1").arg(2000 + i % 25));
            file.Append(record);
        }
    }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

Archive& TheArchive() {
    static Archive archive;
    return archive;
}

Velmora& App() {
    static Velmora app{ProgramFolder(TheArchive().Path())};
    return app;
}

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

// The find picker shown and filled, its list laid out and painted once.
void BM_ShowFindPicker(benchmark::State& state) {
    Velmora& app = App();
    for (auto _ : state) {
        TfrmTrovaIndirizzi picker(app, nullptr);
        picker.show();
        QApplication::processEvents();
        picker.lstRecords->viewport()->repaint();
        state.PauseTiming();
        if (picker.lstRecords->model()->rowCount() != kRecords) state.SkipWithError("list not filled");
        picker.reject();
        state.ResumeTiming();
    }
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

