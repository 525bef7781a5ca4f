#include "core/archive/ImportCsv.h"

#include "core/archive/ImportCsvParser.h"
#include "core/archive/ImportCsvRules.h"
#include "core/archive/ImportCsvText.h"
#include "core/folder/FileAccess.h"

#include <new>

namespace csv_import {
namespace {

// Reads the text in two passes. `line` follows the line being read, 0 while
// the first pass reads.
Import ReadRows(Source& source, bool truncate, qsizetype chunkSize, long long& line) {
    Import import;
    // The first pass: the encoding, and the separator of the first line that
    // holds anything. It stops as soon as both are known.
    bool utf8 = true;
    {
        Text text(source, chunkSize);
        const bool validate = text.MarkFound() == Text::Mark::None;
        Utf8Check check;
        SeparatorCount separator;
        bool counting = true;
        for (QByteArrayView chunk; (counting || (validate && utf8)) && !(chunk = text.Next()).isEmpty();) {
            if (counting) counting = separator.Feed(chunk);
            if (validate && utf8) utf8 = check.Feed(chunk);
        }
        if (validate && utf8) utf8 = check.End();
        import.encoding = text.MarkFound() == Text::Mark::Utf16 ? QStringLiteral("UTF-16")
                          : utf8                                ? QStringLiteral("UTF-8")
                                                                : QStringLiteral("Windows-1252");
        import.separator = separator.Separator();
    }
    // The second pass: the rows.
    RowRules rules(import, utf8, truncate);
    Parser parser(rules, import.separator);
    Text text(source, chunkSize);
    try {
        bool reading = true;
        for (QByteArrayView chunk; reading && !(chunk = text.Next()).isEmpty();) reading = parser.Feed(chunk);
        if (reading && parser.Finish()) rules.Finish();
    } catch (...) {
        line = parser.Line();
        throw;
    }
    return import;
}

// The import of the text named `name`, or, when something but a read of the
// file fails, its refusal with that error alone: whatever the read held is
// given back first.
Import ReadFrom(Source& source, const QString& name, bool truncate, qsizetype chunkSize) {
    long long line = 0;
    QString reason;
    try {
        return ReadRows(source, truncate, chunkSize, line);
    } catch (const FileError&) {
        throw;
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("memoria insufficiente");
    } catch (const std::exception& error) {
        reason = QStringLiteral("errore inatteso (%1)").arg(QString::fromLocal8Bit(error.what()));
    }
    Import refused;
    refused.errors.Add({0, 0, {},
                        QStringLiteral("Impossibile importare %1: %2 %3")
                            .arg(name, reason,
                                 line > 0 ? QStringLiteral("durante la lettura della riga %1").arg(line)
                                          : QStringLiteral("durante l'esame della codifica"))});
    return refused;
}

}  // namespace

QString Notice::Describe() const {
    QString where;
    if (line > 0) where = QStringLiteral("riga %1").arg(line);
    if (column > 0) {
        where += QStringLiteral(", colonna %1").arg(column);
        if (!header.isEmpty()) where += QStringLiteral(" (%1)").arg(header);
    }
    return where.isEmpty() ? text : where + QStringLiteral(": ") + text;
}

void Notices::Add(Notice notice) {
    ++count_;
    if (kept_.size() < kKept) kept_.push_back(std::move(notice));
}

QStringList Notices::Lines(std::size_t shown, const QString& more) const {
    QStringList lines;
    for (std::size_t i = 0; i < kept_.size() && i < shown; ++i) lines << kept_[i].Describe();
    const long long hidden = count_ - static_cast<long long>(lines.size());
    if (hidden > 0) lines << more.arg(hidden);
    return lines;
}

QString Import::Summary() const {
    const auto count = static_cast<long long>(rows.size());
    const long long notes = warnings.Count();
    return QStringLiteral("%1 %2 da importare, %3 %4")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("scheda") : QStringLiteral("schede"))
        .arg(notes)
        .arg(notes == 1 ? QStringLiteral("avviso") : QStringLiteral("avvisi"));
}

Import Read(const QByteArray& bytes, bool truncate, qsizetype chunkSize) {
    BytesSource source(bytes);
    return ReadFrom(source, QStringLiteral("il testo CSV"), truncate, chunkSize);
}

Import ReadFile(const QString& path, bool truncate) {
    // Only a regular file: a FIFO would block the import and a device such as
    // /dev/zero would be read for ever.
    QString refusal;
    platform::File file = platform::File::OpenRegular(path, platform::File::Access::Read, refusal);
    if (!refusal.isEmpty()) throw FileError(refusal.toStdString());
    if (!file.IsOpen())
        throw FileError(QStringLiteral("Impossibile aprire %1: %2").arg(path, SystemReason(errno)).toStdString());
    FileSource source(std::move(file), path);
    return ReadFrom(source, path, truncate, kChunkSize);
}

DataRecord RecordOf(const Row& row) {
    DataRecord record;
    for (int f = 0; f < kFields; ++f) record.field[f] = ShortTextFromCodePage(row[f]);
    return record;
}

Appended Append(const QString& folder, const Import& import) {
    if (!import.errors.empty()) throw FileError("Importazione con errori");
    DataRecordFile file(folder);
    const auto count = static_cast<long long>(import.rows.size());
    file.AppendMany(count, [&](long long i, DataRecord& record) { record = RecordOf(import.rows[i]); });
    Appended appended{file.Position() - count + 1, {}};
    try {
        file.Close();
    } catch (const FileError& error) {
        appended.afterCommit = QString::fromStdString(error.what());
    }
    return appended;
}

}  // namespace csv_import
