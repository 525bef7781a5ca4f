#include "core/archive/ImportCsv.h"

#include "core/folder/FileAccess.h"

#include "core/folder/TextRules.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <csv.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace csv_import {
namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

// The field a header names, or -1.
int FieldOfHeader(const QString& header) {
    QString key;
    for (QChar c : header)
        if (!c.isSpace()) key += c.toLower();
    if (key == QLatin1String("nome") || key == QLatin1String("nomeetichetta")) return DataRecord::Nome;
    if (key == QLatin1String("tipo")) return DataRecord::Tipo;
    if (key == QLatin1String("note")) return DataRecord::Note;
    for (int line = 1; line <= 6; ++line) {
        const QString n = QString::number(line);
        if (key == QLatin1String("rigo") + n || key == QLatin1String("rigo0") + n ||
            key == QLatin1String("datirigo") + n)
            return DataRecord::Rigo(line);
    }
    return -1;
}

// The separator the first line that holds anything uses most outside quotes;
// a comma when it uses none.
char Separator(const QByteArray& bytes) {
    const char candidates[] = {',', ';', '\t'};
    int counts[3] = {};
    bool quoted = false, seen = false;
    for (char c : bytes) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') {
            if (seen) break;
            continue;
        }
        seen = true;
        for (int i = 0; i < 3; ++i) counts[i] += c == candidates[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best]) best = i;
    return candidates[best];
}

class Reader {
public:
    Reader(Import& import, bool utf8, bool truncate) : import_(import), utf8_(utf8), truncate_(truncate) {}

    // One row of the file, whose first byte lies on the given line.
    void Row(long long line, std::vector<QByteArray>& cells) {
        if (!headerSeen_) return Header(line, cells);
        csv_import::Row row;
        bool any = false;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const int column = static_cast<int>(c) + 1;
            if (c >= columns_.size()) {
                if (!IsBlank(Decode(cells[c])))
                    Error(line, column, QStringLiteral("la riga ha più celle dell'intestazione (%1)")
                                            .arg(columns_.size()));
                continue;
            }
            const int field = columns_[c];
            if (field < 0) continue;
            row[field] = Field(line, column, Decode(cells[c]));
            any = any || !row[field].isEmpty();
        }
        if (!any) return;
        if (hasName_ && row[DataRecord::Nome].isEmpty())
            Warn(line, 0, QStringLiteral("scheda senza nome: non comparirà nella ricerca"));
        import_.rows.push_back(std::move(row));
    }

    void Finish() {
        if (!headerSeen_) Error(0, 0, QStringLiteral("il file è vuoto: manca la riga di intestazione"));
    }

private:
    QString Decode(const QByteArray& cell) const {
        return utf8_ ? QString::fromUtf8(cell) : FromCodePage(cell.constData(), cell.size());
    }

    void Header(long long line, const std::vector<QByteArray>& cells) {
        headerSeen_ = true;
        bool lines = false;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const QString header = TrimText(Decode(cells[c]));
            headers_ << header;
            int field = FieldOfHeader(header);
            if (field >= 0 && std::find(columns_.begin(), columns_.end(), field) != columns_.end()) {
                Error(line, static_cast<int>(c) + 1, QStringLiteral("colonna ripetuta"));
                field = -1;
            } else if (field < 0 && !header.isEmpty()) {
                import_.ignoredColumns << header;
            }
            columns_.push_back(field);
            hasName_ = hasName_ || field == DataRecord::Nome;
            lines = lines || (field >= DataRecord::Rigo01 && field <= DataRecord::Rigo06);
        }
        if (!hasName_ && !lines)
            Error(line, 0, QStringLiteral("manca la colonna del nome (Nome) o dei righi (Rigo 1 ... Rigo 6)"));
        else if (!hasName_)
            Warn(line, 0, QStringLiteral("manca la colonna del nome: le schede non compariranno nella ricerca"));
    }

    // The text of one cell as the archive stores it, after the checks.
    QByteArray Field(long long line, int column, QString text) {
        static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
        text = TrimText(text);
        if (text.contains(u'\n') || text.contains(u'\r')) {
            text.replace(breaks, QStringLiteral(" "));
            Warn(line, column, QStringLiteral("testo su più righe, unito in una riga"));
        }
        QByteArray bytes = ToCodePage(text);
        if (FromCodePage(bytes.constData(), bytes.size()) != text)
            Warn(line, column, QStringLiteral("lettere che l'archivio non può contenere, scritte come \"%1\"")
                                   .arg(FromCodePage(bytes.constData(), bytes.size())));
        if (bytes.size() > ShortText250::kMaxLength) {
            if (!truncate_) {
                Error(line, column, QStringLiteral("testo di %1 caratteri, l'archivio ne contiene al massimo %2")
                                        .arg(bytes.size()).arg(ShortText250::kMaxLength));
            } else {
                Warn(line, column, QStringLiteral("testo di %1 caratteri, tagliato a %2")
                                       .arg(bytes.size()).arg(ShortText250::kMaxLength));
                ++import_.truncated;
            }
            bytes.truncate(ShortText250::kMaxLength);
        }
        return bytes;
    }

    Notice Make(long long line, int column, const QString& text) const {
        return {line, column, column > 0 ? headers_.value(column - 1) : QString(), text};
    }
    void Error(long long line, int column, const QString& text) { import_.errors.push_back(Make(line, column, text)); }
    void Warn(long long line, int column, const QString& text) { import_.warnings.push_back(Make(line, column, text)); }

    Import& import_;
    const bool utf8_;
    const bool truncate_;
    bool headerSeen_ = false;
    bool hasName_ = false;
    std::vector<int> columns_;  // the field of each column, or -1
    QStringList headers_;
};

// The end of the line that starts at from: after its "\n", "\r\n" or lone
// "\r" (the line end of old Macintosh files), or the end of the bytes.
qsizetype LineEnd(const QByteArray& bytes, qsizetype from) {
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') return i + 1;
        if (bytes[i] == '\r') return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? i + 2 : i + 1;
    }
    return bytes.size();
}

// The line breaks in a cell, counted as LineEnd counts them.
long long Breaks(const QByteArray& cell) {
    long long breaks = 0;
    for (qsizetype i = 0; i < cell.size(); ++i)
        breaks += cell[i] == '\n' || (cell[i] == '\r' && (i + 1 == cell.size() || cell[i + 1] != '\n'));
    return breaks;
}

// Feeds libcsv one line at a time, so that each row knows the line it starts
// on: the line it ends on less the line breaks inside its quoted cells.
class Parser {
public:
    Parser(Reader& reader, char separator) : reader_(reader) {
        csv_init(&parser_, 0);
        csv_set_delim(&parser_, static_cast<unsigned char>(separator));
        // Blanks around a cell are trimmed later; a tab is a separator, never a blank.
        csv_set_space_func(&parser_, [](unsigned char c) { return c == ' ' ? 1 : 0; });
    }
    ~Parser() { csv_free(&parser_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // False when libcsv failed (out of memory).
    bool Parse(const QByteArray& bytes) {
        qsizetype from = 0;
        while (from < bytes.size()) {
            const qsizetype to = LineEnd(bytes, from);
            ++line_;
            const auto length = static_cast<std::size_t>(to - from);
            if (csv_parse(&parser_, bytes.constData() + from, length, OnCell, OnRowEnd, this) != length) return false;
            from = to;
        }
        return csv_fini(&parser_, OnCell, OnRowEnd, this) == 0;
    }

    QString Error() { return QString::fromLatin1(csv_strerror(csv_error(&parser_))); }

private:
    static void OnCell(void* data, std::size_t length, void* self) {
        auto& parser = *static_cast<Parser*>(self);
        parser.cells_.emplace_back(static_cast<const char*>(data), static_cast<qsizetype>(length));
        parser.breaks_ += Breaks(parser.cells_.back());
    }
    static void OnRowEnd(int, void* self) {
        auto& parser = *static_cast<Parser*>(self);
        parser.reader_.Row(parser.line_ - parser.breaks_, parser.cells_);
        parser.cells_.clear();
        parser.breaks_ = 0;
    }

    Reader& reader_;
    csv_parser parser_{};
    long long line_ = 0;
    long long breaks_ = 0;
    std::vector<QByteArray> cells_;
};

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

QString Import::Summary() const {
    const auto count = static_cast<long long>(rows.size());
    const auto notes = static_cast<long long>(warnings.size());
    return QStringLiteral("%1 %2 da importare, %3 %4")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("scheda") : QStringLiteral("schede"))
        .arg(notes)
        .arg(notes == 1 ? QStringLiteral("avviso") : QStringLiteral("avvisi"));
}

Import Read(const QByteArray& file, bool truncate) {
    Import import;
    QByteArray bytes = file;
    bool utf8 = bytes.startsWith(kBom);
    if (utf8) {
        import.encoding = QStringLiteral("UTF-8");
        bytes.remove(0, kBom.size());
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Excel's "Unicode text": read on as UTF-8, the same letters.
        import.encoding = QStringLiteral("UTF-16");
        QStringDecoder decoder(QStringConverter::Utf16);
        bytes = QString(decoder(bytes)).toUtf8();
        utf8 = true;
    } else {
        QStringDecoder decoder(QStringConverter::Utf8);
        const QString decoded = decoder(bytes);
        utf8 = !decoder.hasError();
        import.encoding = utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
    }
    import.separator = Separator(bytes);
    Reader reader(import, utf8, truncate);
    Parser parser(reader, import.separator);
    if (!parser.Parse(bytes))
        import.errors.push_back({0, 0, {}, QStringLiteral("file illeggibile: ") + parser.Error()});
    reader.Finish();
    return import;
}

Import ReadFile(const QString& path, bool truncate) {
    // Only a regular file: a FIFO would block the import and a device such as
    // /dev/zero would be read until memory runs out.
    QString refusal;
    const int fd = OpenRegularFile(path, O_RDONLY, refusal);
    if (!refusal.isEmpty()) throw FileError(refusal.toStdString());
    if (fd < 0)
        throw FileError(QStringLiteral("Impossibile aprire %1: %2").arg(path, SystemReason(errno)).toStdString());
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw FileError(QStringLiteral("Impossibile aprire %1: %2").arg(path, file.errorString()).toStdString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Impossibile leggere %1: %2").arg(path, file.errorString()).toStdString());
    return Read(bytes, truncate);
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
