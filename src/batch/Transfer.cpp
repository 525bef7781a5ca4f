#include "batch/Transfer.h"

#include "batch/Output.h"
#include "core/archive/DataRecord.h"
#include "core/archive/ExportWriter.h"
#include "core/archive/ImportCsv.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace batch {
void Export(const ProgramFolder& folder, const QStringList& args) {
    if (args.value(0) == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly)) throw Failure(QStringLiteral("impossibile scrivere l'uscita"));
        spreadsheet_export::ExportArchive(folder, out);
        if (!out.flush()) throw Failure(QStringLiteral("impossibile scrivere l'uscita"));
        return;
    }
    // FILE may be the folder's own export, never another of its files.
    const QString path = args.isEmpty() ? folder.File(spreadsheet_export::kFileName) : args[0];
    RefuseProgramFile(path, folder, spreadsheet_export::kFileName);
    spreadsheet_export::ExportArchive(folder, path);
}

void Import(const ProgramFolder& folder, const QStringList& args) {
    const bool dryRun = args.contains(QStringLiteral("--dry-run"));
    QTextStream out(stdout);
    const csv_import::Import import = csv_import::ReadFile(args[0], args.contains(QStringLiteral("--truncate")));
    // A refused file tells why alone: its counts would only mislead.
    if (!import.errors.empty())
        throw Failure(QStringLiteral("importazione rifiutata, nessuna scheda aggiunta:\n") +
                      import.errors.Lines().join(u'\n'));
    out << args[0] << ": " << import.Summary() << " (" << import.encoding << ")\n";
    for (const QString& warning : import.warnings.Lines()) out << "avviso: " << warning << "\n";
    if (!import.ignoredColumns.isEmpty())
        out << "colonne ignorate: " << import.ignoredColumns.join(QStringLiteral(", ")) << "\n";
    CheckStandardOutput(out);
    const auto count = static_cast<long long>(import.rows.size());
    if (dryRun) {
        long long first = 1;
        if (QFileInfo::exists(folder.File(QLatin1String(DataRecord::kFileName)))) {
            DataRecordFile file;
            file.OpenForReading(folder.Path());
            first = file.RecordCount() + 1;
        }
        for (long long i = 0; i < count; ++i) {
            const DataRecord record = csv_import::RecordOf(import.rows[i]);
            QStringList fields;
            for (int f = 0; f < csv_import::kFields; ++f) fields << record.Text(DataRecord::Field(f));
            while (fields.last().isEmpty()) fields.removeLast();
            out << "scheda " << first + i << ": " << fields.join(QStringLiteral(" | ")) << "\n";
        }
        out << "prova: nessuna scheda aggiunta\n";
        CheckStandardOutput(out);
        return;
    }
    const auto [first, afterCommit] = csv_import::Append(folder.Path(), import);
    if (!afterCommit.isEmpty())
        QTextStream(stderr) << "velmora-batch: avviso: le schede sono state aggiunte, ma la chiusura di "
                            << DataRecord::kFileName << " non è riuscita: " << afterCommit << "\n";
    if (count == 0) out << "nessuna scheda aggiunta in " << DataRecord::kFileName << "\n";
    else if (count == 1) out << "aggiunta 1 scheda in " << DataRecord::kFileName << ": la " << first << "\n";
    else out << "aggiunte " << count << " schede in " << DataRecord::kFileName << ": dalla " << first << " alla "
             << first + count - 1 << "\n";
    CheckStandardOutput(out);
}

}  // namespace batch
