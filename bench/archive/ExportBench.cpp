// The spreadsheet export on the pickers' archive of 100,000 records
// (376 MB), each beside its yardstick in the same run: the export window
// shown with its grid filled beside the find picker filled
// (BM_ShowFindPicker), and the export of the whole archive to a file beside
// cat reading the archive plus the writing of a file of the export's size.
#include "BenchArchive.h"
#include "core/archive/ExportWriter.h"
#include "windows/archive/ExpIndirizzi.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

using bench_archive::TheArchive;

QString ExportPath() {
    static QTemporaryDir dir;
    return dir.filePath(spreadsheet_export::kFileName);
}

// The export window shown and filled, its grid laid out and painted once.
void BM_ShowExportWindow(benchmark::State& state) {
    bench_archive::ShowFilled<TfrmExpIndirizzi>(state, [](TfrmExpIndirizzi& w) { return w.grdRecords; });
}
BENCHMARK(BM_ShowExportWindow)->Unit(benchmark::kMillisecond);

// velmora-batch export: the whole archive written to a file that replaces
// the earlier one once complete.
void BM_ExportArchive(benchmark::State& state) {
    const ProgramFolder folder(TheArchive().Path());
    for (auto _ : state) spreadsheet_export::ExportArchive(folder, ExportPath());
    state.counters["export_MB"] = static_cast<double>(QFileInfo(ExportPath()).size()) / 1e6;
}
BENCHMARK(BM_ExportArchive)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The yardstick of the export: cat reads the archive, then a file of the
// export's size is written in 64 KiB pieces.
void BM_CatArchiveAndWriteFile(benchmark::State& state) {
    const QString archive = TheArchive().Path() + QStringLiteral("/Archivio_Dati.pro");
    if (!QFileInfo::exists(ExportPath()))
        spreadsheet_export::ExportArchive(ProgramFolder(TheArchive().Path()), ExportPath());
    const qint64 size = QFileInfo(ExportPath()).size();
    const QString target = ExportPath() + QStringLiteral(".copy");
    const QByteArray piece(64 * 1024, 'x');
    for (auto _ : state) {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        cat.start(QStringLiteral("cat"), {archive});
        if (!cat.waitForFinished(-1) || cat.exitCode() != 0) state.SkipWithError("cat failed");
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) state.SkipWithError("cannot write");
        for (qint64 left = size; left > 0; left -= piece.size())
            out.write(piece.constData(), std::min<qint64>(left, piece.size()));
        out.close();
    }
    state.counters["export_MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(BM_CatArchiveAndWriteFile)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
