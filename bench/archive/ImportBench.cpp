// Importing a CSV file of 100,000 rows into an empty archive, beside its
// yardstick: the program writing 100,000 records made from texts, one open,
// one record at a time. The target is at most twice the yardstick's time.
#include "core/archive/DataRecord.h"
#include "core/archive/ImportCsv.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

// The texts of row i: name, type, six lines, note, with accents.
QStringList Texts(int i) {
    QStringList fields = {QStringLiteral("Cliente Niccolò %1").arg(i), QStringLiteral("Indirizzo postale")};
    for (int line = 1; line <= 6; ++line) fields << QStringLiteral("Via della Città %1, int. %2").arg(i).arg(line);
    fields << QStringLiteral("nota; \"cliente\" dal %1").arg(2000 + i % 25);
    return fields;
}

// A semicolon-separated UTF-8 file of kRows rows, as a spreadsheet saves it.
const QString& CsvFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("indirizzi.csv"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly)) return QString();
        out.write("Nome etichetta;Tipo;Dati rigo 1;Dati rigo 2;Dati rigo 3;Dati rigo 4;Dati rigo 5;Dati rigo 6;Note\r\n");
        for (int i = 0; i < kRows; ++i) {
            QStringList cells = Texts(i);
            for (QString& cell : cells) cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
            out.write((cells.join(u';') + QStringLiteral("\r\n")).toUtf8());
        }
        return file;
    }();
    return path;
}

// velmora-batch import: the file read, checked and appended in one write.
void BM_ImportCsv(benchmark::State& state) {
    const QString csv = CsvFile();
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
