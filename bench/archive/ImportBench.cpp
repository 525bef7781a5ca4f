// Importing a CSV file of 100,000 rows into an empty archive, beside its
// yardstick: the program writing 100,000 records made from texts, one open,
// one record at a time. The target is at most twice the yardstick's time.
// Then the same rows a million times over (a CSV file of 279 MB, an archive
// of 3.8 GB), once, for what the streamed read and the packed rows cost; and
// a row of two million cells too many, for what a hostile file costs.
#include "core/archive/DataRecord.h"
#include "core/archive/ImportCsv.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <sys/resource.h>

namespace {

constexpr int kRows = 100000;
constexpr int kMillion = 1000000;

// The texts of row i: name, type, six lines, note, with accents.
QStringList Texts(int i) {
    QStringList fields = {QStringLiteral("Cliente Niccolò %1").arg(i), QStringLiteral("Indirizzo postale")};
    for (int line = 1; line <= 6; ++line) fields << QStringLiteral("Via della Città %1, int. %2").arg(i).arg(line);
    fields << QStringLiteral("nota; \"cliente\" dal %1").arg(2000 + i % 25);
    return fields;
}

// A semicolon-separated UTF-8 file of `rows` rows, as a spreadsheet saves it,
// made once per run.
const QString& CsvFile(int rows) {
    static QTemporaryDir dir;
    static std::map<int, QString> paths;
    auto [at, made] = paths.try_emplace(rows);
    if (!made) return at->second;
    const QString file = dir.filePath(QStringLiteral("indirizzi-%1.csv").arg(rows));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return at->second;
    out.write("Nome etichetta;Tipo;Dati rigo 1;Dati rigo 2;Dati rigo 3;Dati rigo 4;Dati rigo 5;Dati rigo 6;Note\r\n");
    for (int i = 0; i < rows; ++i) {
        QStringList cells = Texts(i);
        for (QString& cell : cells) cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
        out.write((cells.join(u';') + QStringLiteral("\r\n")).toUtf8());
    }
    at->second = file;
    return at->second;
}

// The process's peak memory so far, beside the size of the file it read.
void CountPeak(benchmark::State& state, const QString& csv) {
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;  // ru_maxrss in KiB
    state.counters["csv_MB"] = static_cast<double>(QFileInfo(csv).size()) / 1e6;
}

// velmora-batch import: the file read, checked and appended in one write.
void BM_ImportCsv(benchmark::State& state) {
    const QString csv = CsvFile(kRows);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        state.ResumeTiming();
        const csv_import::Import import = csv_import::ReadFile(csv, false);
        if (!import.errors.empty() || import.rows.size() != kRows) state.SkipWithError("import refused");
        csv_import::Append(folder.path(), import);
        state.PauseTiming();
        if (DataRecordFile(folder.path()).RecordCount() != kRows) state.SkipWithError("records missing");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond)->MinTime(5.0);

// velmora-batch import of a million rows, once. peak_rss_MB is the process's
// peak so far: run this benchmark alone (--benchmark_filter) for it to be the
// import's.
void BM_ImportCsvMillion(benchmark::State& state) {
    const QString csv = CsvFile(kMillion);
    QTemporaryDir folder;
    for (auto _ : state) {
        const csv_import::Import import = csv_import::ReadFile(csv, false);
        if (!import.errors.empty() || import.rows.size() != kMillion) state.SkipWithError("import refused");
        csv_import::Append(folder.path(), import);
    }
    if (DataRecordFile(folder.path()).RecordCount() != kMillion) state.SkipWithError("records missing");
    CountPeak(state, csv);
    state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_ImportCsvMillion)->Unit(benchmark::kSecond)->Iterations(1);

// velmora-batch import of a header of one column and a row of 2,000,000 cells
// beyond it (4 MB), once: refused, with its first errors kept and all counted.
// peak_rss_MB as above.
void BM_ImportCsvExtraCells(benchmark::State& state) {
    constexpr int kCells = 2000000;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("celle.csv"));
    QFile out(csv);
    if (!out.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write the file");
    out.write("Nome\nRossi" + QByteArray(",x").repeated(kCells) + "\n");
    out.close();
    for (auto _ : state)
        if (csv_import::ReadFile(csv, false).errors.Count() != kCells) state.SkipWithError("errors miscounted");
    CountPeak(state, csv);
}
BENCHMARK(BM_ImportCsvExtraCells)->Unit(benchmark::kSecond)->Iterations(1);

// The yardstick: the program writing the same 100,000 records from their
// texts, as the window stores a record (each field through the codec), in one
// open of the archive.
void BM_WriteRecords(benchmark::State& state) {
    std::vector<QStringList> texts;
    for (int i = 0; i < kRows; ++i) texts.push_back(Texts(i));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        state.ResumeTiming();
        DataRecordFile file(folder.path());
        DataRecord record;
        for (const QStringList& fields : texts) {
            for (int f = 0; f < fields.size(); ++f) record.SetText(DataRecord::Field(f), fields[f]);
            file.Write(record);
        }
        file.Close();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_WriteRecords)->Unit(benchmark::kMillisecond)->MinTime(5.0);

}  // namespace
