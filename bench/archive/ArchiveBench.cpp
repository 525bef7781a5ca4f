// Scanning and paging an archive of 100,000 records, as the pickers, the
// export and the data archive window's paging commands do.
#include "core/archive/DataRecord.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 100000;

QString Folder() {
    static QTemporaryDir dir;
    static const bool filled = [] {
        DataRecordFile file(dir.path());
        for (int i = 0; i < kRecords; ++i) {
            DataRecord record;
            record.SetText(DataRecord::Nome, QStringLiteral("Cliente %1").arg(i));
            record.SetText(DataRecord::Tipo, QStringLiteral("Indirizzo"));
            record.SetText(DataRecord::Rigo01, QStringLiteral("Via Roma %1").arg(i));
            record.SetText(DataRecord::Note, QStringLiteral("nota"));
            file.Write(record);
        }
        qInfo("archive: %s/Archivio_Dati.pro", qPrintable(dir.path()));
        return true;
    }();
    return filled ? dir.path() : QString();
}

// Every record read in file order, its name decoded (one open, one close).
void BM_ScanArchive(benchmark::State& state) {
    const QString folder = Folder();
    for (auto _ : state) {
        DataRecordFile file(folder);
        DataRecord record;
        qsizetype letters = 0;
        while (!file.AtEnd()) {
            file.Read(record);
            letters += record.Text(DataRecord::Nome).size();
        }
        benchmark::DoNotOptimize(letters);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * kRecords * static_cast<int64_t>(sizeof(DataRecord)));
}
BENCHMARK(BM_ScanArchive)->Unit(benchmark::kMillisecond);

// Showing record k: open, seek, read, decode all fields, close, stepping
// through the whole archive as "next" does.
void BM_ShowRecord(benchmark::State& state) {
    const QString folder = Folder();
    long long k = 0;
    for (auto _ : state) {
        DataRecordFile file(folder);
        DataRecord record;
        file.Seek(k);
        file.Read(record);
        for (int f = 0; f < DataRecord::kFieldCount; ++f)
            benchmark::DoNotOptimize(record.Text(DataRecord::Field(f)));
        k = file.Position() % kRecords;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShowRecord)->Unit(benchmark::kMicrosecond);

// Appending a record under the append lock, one open per record.
void BM_AppendRecord(benchmark::State& state) {
    QTemporaryDir dir;
    DataRecord record;
    record.SetText(DataRecord::Nome, QStringLiteral("Nuovo"));
    for (auto _ : state) DataRecordFile(dir.path()).Append(record);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendRecord)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
