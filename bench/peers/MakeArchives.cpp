// bench_make_archives FOLDER: writes into FOLDER the archives the benchmarks
// share, for timing velmora-batch and its peers on the command line:
// Archivio_Etichette.pro (1,000 label pages), Archivio_Dati.pro (100,000
// records) and etichette.csv, the same 24,000 labels of six lines in page
// and slot order, with a header line naming the fields L1 .. L6.
#include "../archive/BenchRecords.h"
#include "../sheets/BenchPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 || !QDir().mkpath(arguments[1])) {
        std::fprintf(stderr, "uso: bench_make_archives CARTELLA\n");
        return 2;
    }
    const QString folder = arguments[1];
    bench_sheets::WritePages(folder);
    bench_archive::WriteRecords(folder);
    QFile csv(QDir(folder).filePath(QStringLiteral("etichette.csv")));
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    QTextStream out(&csv);
    out << "L1,L2,L3,L4,L5,L6\n";
    for (int page = 0; page < bench_sheets::kPages; ++page)
        for (int slot = 1; slot <= label_grid::kSlots; ++slot)
            for (int line = 1; line <= label_grid::kLines; ++line)
                out << bench_sheets::LineText(page, slot, line) << (line < label_grid::kLines ? ',' : '\n');
    out.flush();
    return csv.error() == QFile::NoError ? 0 : 1;
}
