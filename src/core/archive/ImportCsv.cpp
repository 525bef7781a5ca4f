#include "core/archive/ImportCsv.h"

#include "core/folder/FileAccess.h"
#include "core/platform/Files.h"

#include "core/folder/TextRules.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <csv.h>

#include <cerrno>

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

namespace csv_import {
namespace {

const QByteArray kBom = "\xEF\xBB\xBF";
// Far above any field (250 bytes): a cell this long is no address, and the read
// stops rather than hold it.
constexpr std::size_t kMaxCell = 1 << 20;

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

// The separator the first line that holds anything uses most outside quotes,
// counted as the text goes by; a comma when it uses none.
class SeparatorCount {
public:
    // Counts a chunk; false once that line has ended.
    bool Feed(QByteArrayView chunk) {
        for (char c : chunk) {
            if (c == '"') quoted_ = !quoted_;
            if (quoted_) continue;
            if (c == '\n' || c == '\r') {
                if (seen_) return false;
                continue;
            }
            seen_ = true;
            for (int i = 0; i < 3; ++i) counts_[i] += c == kCandidates[i];
        }
        return true;
    }

    char Separator() const {
        int best = 0;
        for (int i = 1; i < 3; ++i)
            if (counts_[i] > counts_[best]) best = i;
        return kCandidates[best];
    }

private:
    static constexpr char kCandidates[] = {',', ';', '\t'};
    long long counts_[3] = {};
    bool quoted_ = false;
    bool seen_ = false;
};

// The fields that a record of the archive never leaves blank (the data archive
// window saves none without them): what a row without one, and a header
// without its column, are told.
struct Required {
    int field;
    const char* blank;
    const char* missing;
};
constexpr Required kRequired[] = {
    {DataRecord::Nome, "scheda senza nome: non comparirà nella ricerca",
     "manca la colonna del nome: le schede non compariranno nella ricerca"},
    {DataRecord::Tipo, "scheda senza tipo: da completare nell'archivio dati",
     "manca la colonna del tipo (Tipo): le schede saranno senza tipo"},
    {DataRecord::Rigo01, "scheda senza primo rigo: da completare nell'archivio dati",
     "manca la colonna del primo rigo (Rigo 1): le schede saranno senza primo rigo"},
};

// Removes the control characters other than tab and line breaks (NUL, the
// other C0 controls, DEL and the C1 controls); whether there were any.
bool DropControls(QString& text) {
    const qsizetype before = text.size();
    text.removeIf([](QChar c) {
        return c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r';
    });
    return text.size() != before;
}

// Whether the bytes hold a letter of several bytes in UTF-8 ("\xC3\xA8" for
// "è"): in a file read as Windows-1252, the sign of UTF-8 text among it, which
// would be stored as "Ã¨".
bool HoldsUtf8Letter(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xF0 && lead <= 0xF4                                 ? 4
                                                                                                : 0;
        if (length > 0 && i + length <= bytes.size() &&
            !QString::fromUtf8(bytes.sliced(i, length)).contains(QChar::ReplacementCharacter))
            return true;
    }
    return false;
}

class Reader {
public:
    Reader(Import& import, bool utf8, bool truncate) : import_(import), utf8_(utf8), truncate_(truncate) {}

    // Cell `column` (from 1) of the row whose first byte lies on `line`.
    void Cell(long long line, long long column, QByteArrayView bytes) {
        if (!headerSeen_) return HeaderCell(line, column, bytes);
        const auto c = static_cast<std::size_t>(column - 1);
        if (c >= columns_.size()) {
            if (!IsBlank(Decode(bytes)))
                Error(line, column, QStringLiteral("la riga ha più celle dell'intestazione (%1)").arg(columns_.size()));
            return;
        }
        const int field = columns_[c];
        if (field < 0) return;
        row_[field] = Field(line, column, bytes);
        any_ = any_ || !row_[field].isEmpty();
    }

    // The end of that row, after its cells.
    void RowEnd(long long line) {
        if (!headerSeen_) return HeaderEnd(line);
        if (any_) {
            for (const Required& required : kRequired)
                if (present_[required.field] && row_[required.field].isEmpty())
                    Warn(line, 0, QString::fromUtf8(required.blank));
            import_.rows.push_back(row_);
        }
        row_ = {};
        any_ = false;
    }

    // A cell that holds far more than any field: the read stops at it.
    void CellTooLong(long long line, long long column) {
        Error(line, column, QStringLiteral("cella di oltre %1 MB: il file non sembra un elenco di indirizzi")
                                .arg(kMaxCell >> 20));
    }

    // A quoted cell still open at the end of the file: everything after its
    // quote would be one cell.
    void QuoteLeftOpen(long long line, long long column) {
        Error(line, column, QStringLiteral("virgolette aperte e mai chiuse: il resto del file sarebbe una cella sola"));
    }

    void Unreadable(const QString& reason) {
        import_.errors.push_back({0, 0, {}, QStringLiteral("file illeggibile: ") + reason});
    }

    void Finish() {
        if (!headerSeen_) Error(0, 0, QStringLiteral("il file è vuoto: manca la riga di intestazione"));
    }

private:
    QString Decode(QByteArrayView cell) const {
        return utf8_ ? QString::fromUtf8(cell) : FromCodePage(cell.data(), cell.size());
    }

    void HeaderCell(long long line, long long column, QByteArrayView bytes) {
        const QString header = TrimText(Decode(bytes));
        headers_ << header;
        int field = FieldOfHeader(header);
        if (field >= 0 && std::find(columns_.begin(), columns_.end(), field) != columns_.end()) {
            Error(line, column, QStringLiteral("colonna ripetuta"));
            field = -1;
        } else if (field < 0 && !header.isEmpty()) {
            import_.ignoredColumns << header;
        }
        columns_.push_back(field);
        if (field >= 0) present_[field] = true;
    }

    void HeaderEnd(long long line) {
        headerSeen_ = true;
        const bool lines = std::any_of(present_.begin() + DataRecord::Rigo01, present_.begin() + DataRecord::Rigo06 + 1,
                                       [](bool present) { return present; });
        if (!present_[DataRecord::Nome] && !lines)
            return Error(line, 0, QStringLiteral("manca la colonna del nome (Nome) o dei righi (Rigo 1 ... Rigo 6)"));
        for (const Required& required : kRequired)
            if (!present_[required.field]) Warn(line, 0, QString::fromUtf8(required.missing));
    }

    // The text of one cell as the archive stores it, after the checks.
    QByteArray Field(long long line, long long column, QByteArrayView cell) {
        static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
        QString text = Decode(cell);
        // Set where the file's own encoding was broken: a byte that is no
        // UTF-8 after a UTF-8 mark, a lone surrogate in UTF-16.
        if (text.contains(QChar::ReplacementCharacter)) {
            text.replace(QChar::ReplacementCharacter, u'?');
            Warn(line, column, QStringLiteral("caratteri non validi in %1, scritti come \"?\"").arg(import_.encoding));
        }
        if (DropControls(text))
            Warn(line, column, QStringLiteral("caratteri di controllo tolti"));
        text = TrimText(text);
        if (text.contains(u'\n') || text.contains(u'\r')) {
            text.replace(breaks, QStringLiteral(" "));
            Warn(line, column, QStringLiteral("testo su più righe, unito in una riga"));
        }
        if (text.contains(u'\t')) {
            text.replace(u'\t', u' ');
            Warn(line, column, QStringLiteral("tabulazioni sostituite da spazi"));
        }
        const StoredText archived = ToStoredText(text);
        QByteArray bytes = archived.bytes;
        const QString stored = FromCodePage(bytes.constData(), bytes.size());
        if (!utf8_ && HoldsUtf8Letter(cell))
            Warn(line, column, QStringLiteral("testo in UTF-8 in un file letto come Windows-1252, scritto come \"%1\"")
                                   .arg(stored));
        else if (!archived.changes.isEmpty())
            Warn(line, column, QStringLiteral("lettere che l'archivio non può contenere, scritte come \"%1\" (%2)")
                                   .arg(stored, archived.changes));
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

    Notice Make(long long line, long long column, const QString& text) const {
        return {line, static_cast<int>(column), column > 0 ? headers_.value(column - 1) : QString(), text};
    }
    void Error(long long line, long long column, const QString& text) { import_.errors.push_back(Make(line, column, text)); }
    void Warn(long long line, long long column, const QString& text) { import_.warnings.push_back(Make(line, column, text)); }

    Import& import_;
    const bool utf8_;
    const bool truncate_;
    bool headerSeen_ = false;
    std::array<bool, kFields> present_{};  // whether a column fills the field
    std::vector<int> columns_;  // the field of each column, or -1
    QStringList headers_;
    csv_import::Row row_;  // the row being read
    bool any_ = false;     // whether it holds a field
};

// The line breaks in a cell: each "\n", "\r\n" or lone "\r", as Parser counts
// the lines.
long long Breaks(QByteArrayView cell) {
    long long breaks = 0;
    for (qsizetype i = 0; i < cell.size(); ++i)
        breaks += cell[i] == '\n' || (cell[i] == '\r' && (i + 1 == cell.size() || cell[i + 1] != '\n'));
    return breaks;
}

// Feeds libcsv a line at a time, so that each cell knows the line its row
// starts on: the lines ended before it, less the line breaks inside the row's
// quoted cells. A line ends after "\n", "\r\n" or a lone "\r" (the line end
// of old Macintosh files), also where a chunk ends between "\r" and "\n". A
// cell that grows past kMaxCell stops the read between two pieces.
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

    // Parses the next chunk of the text; false once the read has stopped.
    bool Feed(QByteArrayView chunk) {
        for (qsizetype from = 0; from < chunk.size();) {
            // The "\n" of a "\r\n" ends no line of its own.
            const bool crlf = afterCr_ && chunk[from] == '\n';
            qsizetype end = from;
            if (!crlf)
                while (end < chunk.size() && chunk[end] != '\n' && chunk[end] != '\r') ++end;
            const bool lineEnds = end < chunk.size();
            const qsizetype to = lineEnds ? end + 1 : end;
            if (!Parse(chunk.sliced(from, to - from))) return false;
            afterCr_ = lineEnds && chunk[end] == '\r';
            ended_ += lineEnds && !crlf;
            from = to;
            if (parser_.entry_pos > kMaxCell) return Stop(RowLine() - Breaks(Entry()), column_ + 1);
        }
        return true;
    }

    // The end of the text: the last row, when no line end follows it. False
    // when the read has stopped, or a quoted cell is still open: libcsv would
    // close it here, and everything after its quote would be one cell.
    bool Finish() {
        if (stopped_) return false;
        if (parser_.quoted && parser_.pstate != kFieldMightHaveEnded) {
            reader_.QuoteLeftOpen(ended_ + 1 - Breaks(Entry()), column_ + 1);
            stopped_ = true;
            return false;
        }
        return Parsed(csv_fini(&parser_, OnCell, OnRowEnd, this) == 0);
    }

private:
    // libcsv's state after a quote inside a quoted cell: the quote that closes
    // it, unless another follows.
    static constexpr int kFieldMightHaveEnded = 3;

    // The cell being read, as far as libcsv holds it.
    QByteArrayView Entry() const {
        return {reinterpret_cast<const char*>(parser_.entry_buf), static_cast<qsizetype>(parser_.entry_pos)};
    }

    bool Parse(QByteArrayView piece) {
        const auto size = static_cast<std::size_t>(piece.size());
        return Parsed(csv_parse(&parser_, piece.data(), size, OnCell, OnRowEnd, this) == size);
    }

    // Whether the read goes on after libcsv returned: not when it failed (out
    // of memory) or a cell stopped it.
    bool Parsed(bool parsed) {
        if (!parsed && !stopped_) {
            reader_.Unreadable(QString::fromLatin1(csv_strerror(csv_error(&parser_))));
            stopped_ = true;
        }
        return !stopped_;
    }

    bool Stop(long long line, long long column) {
        reader_.CellTooLong(line, column);
        stopped_ = true;
        return false;
    }

    // The line the row being read starts on, counting the breaks in its cells
    // so far.
    long long RowLine() const { return ended_ + 1 - breaks_; }

    static void OnCell(void* data, std::size_t length, void* self) {
        auto& parser = *static_cast<Parser*>(self);
        if (parser.stopped_) return;
        const QByteArrayView cell(static_cast<const char*>(data), static_cast<qsizetype>(length));
        parser.breaks_ += Breaks(cell);
        ++parser.column_;
        if (length > kMaxCell) {
            parser.Stop(parser.RowLine(), parser.column_);
            return;
        }
        parser.reader_.Cell(parser.RowLine(), parser.column_, cell);
    }
    static void OnRowEnd(int, void* self) {
        auto& parser = *static_cast<Parser*>(self);
        if (parser.stopped_) return;
        parser.reader_.RowEnd(parser.RowLine());
        parser.breaks_ = 0;
        parser.column_ = 0;
    }

    Reader& reader_;
    csv_parser parser_{};
    long long ended_ = 0;   // lines ended before the piece being parsed
    bool afterCr_ = false;  // whether the text so far ends with "\r"
    long long breaks_ = 0;  // line breaks in the cells of the row so far
    long long column_ = 0;  // cells of the row so far
    bool stopped_ = false;
};

// Where the bytes of a CSV file come from, a piece at a time, and again from
// the start after Rewind.
class Source {
public:
    virtual ~Source() = default;
    // The next size bytes, fewer only at the end (none there); valid until the
    // next call.
    virtual QByteArrayView Next(qsizetype size) = 0;
    virtual void Rewind() = 0;
};

class BytesSource final : public Source {
public:
    explicit BytesSource(const QByteArray& bytes) : bytes_(bytes) {}
    QByteArrayView Next(qsizetype size) override {
        const QByteArrayView piece = QByteArrayView(bytes_).sliced(at_).first(std::min(size, bytes_.size() - at_));
        at_ += piece.size();
        return piece;
    }
    void Rewind() override { at_ = 0; }

private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
};

// A file open for reading, closed with the source.
class FileSource final : public Source {
public:
    FileSource(platform::File file, const QString& path) : file_(std::move(file)), path_(path) {}

    QByteArrayView Next(qsizetype size) override {
        buffer_.resize(size);
        const qint64 done = file_.Read(buffer_.data(), size);
        if (done < 0) Fail();
        return QByteArrayView(buffer_).first(done);
    }
    void Rewind() override {
        if (!file_.Rewind()) Fail();
    }

private:
    [[noreturn]] void Fail() const {
        throw FileError(QStringLiteral("Impossibile leggere %1: %2").arg(path_, SystemReason(errno)).toStdString());
    }

    platform::File file_;
    const QString path_;
    QByteArray buffer_;
};

// The text of a file as the parser reads it, a chunk at a time from its start:
// past a UTF-8 byte-order mark, converted to UTF-8 from UTF-16 with a
// byte-order mark (Excel's "Unicode text": the same letters), else the bytes
// as they stand.
class Text {
public:
    enum class Mark { None, Utf8, Utf16 };

    Text(Source& source, qsizetype chunkSize) : source_(source), chunkSize_(chunkSize) {
        source_.Rewind();
        // The first chunk, long enough to hold a mark whatever the chunk size.
        head_ = source_.Next(std::max(chunkSize, kBom.size())).toByteArray();
        if (head_.startsWith(kBom)) {
            mark_ = Mark::Utf8;
            head_.remove(0, kBom.size());
        } else if (head_.startsWith("\xFF\xFE") || head_.startsWith("\xFE\xFF")) {
            mark_ = Mark::Utf16;
            utf16_.emplace(QStringConverter::Utf16);
        }
    }

    Mark MarkFound() const { return mark_; }

    // The next chunk of text, empty only at the end.
    QByteArrayView Next() {
        for (;;) {
            QByteArrayView raw;
            if (!headGiven_) raw = head_;
            headGiven_ = true;
            if (raw.isEmpty()) raw = source_.Next(chunkSize_);
            if (!utf16_) return raw;
            QString text = high_ + utf16_->decode(raw);
            high_.clear();
            // A high surrogate that ends the chunk waits for its low one.
            if (!raw.isEmpty() && !text.isEmpty() && text.back().isHighSurrogate()) {
                high_ = text.back();
                text.chop(1);
            }
            converted_ = Utf8(text);
            if (!converted_.isEmpty() || raw.isEmpty()) return converted_;
        }
    }

private:
    // The text in UTF-8, a lone surrogate as U+FFFD (toUtf8 would make it a
    // plain "?", and the reader could not tell it).
    static QByteArray Utf8(QString text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
            else if (text[i].isSurrogate()) text[i] = QChar::ReplacementCharacter;
        }
        return text.toUtf8();
    }

    Source& source_;
    const qsizetype chunkSize_;
    QByteArray head_;  // the first chunk, past a UTF-8 mark
    bool headGiven_ = false;
    Mark mark_ = Mark::None;
    std::optional<QStringDecoder> utf16_;
    QString high_;  // a high surrogate cut from the end of the last chunk
    QByteArray converted_;
};

// Whether the decoder has met no error, after decoding bytes.
bool StillValid(QStringDecoder& decoder, QByteArrayView bytes) {
    [[maybe_unused]] const QString decoded = decoder(bytes);  // decodes here, in the conversion
    return !decoder.hasError();
}

Import ReadFrom(Source& source, bool truncate, qsizetype chunkSize) {
    Import import;
    // The first pass: the encoding, and the separator of the first line that
    // holds anything. It stops as soon as both are known.
    bool utf8 = true;
    {
        Text text(source, chunkSize);
        const bool validate = text.MarkFound() == Text::Mark::None;
        QStringDecoder decoder(QStringConverter::Utf8);
        SeparatorCount separator;
        bool counting = true;
        for (QByteArrayView chunk; (counting || (validate && utf8)) && !(chunk = text.Next()).isEmpty();) {
            if (counting) counting = separator.Feed(chunk);
            // The decoder keeps a sequence that a chunk cuts, to finish it with the next.
            if (validate && utf8) utf8 = StillValid(decoder, chunk);
        }
        // A sequence that the end cuts is no UTF-8 either: a line feed after it
        // makes it the error it is.
        if (validate && utf8) utf8 = StillValid(decoder, "\n");
        import.encoding = text.MarkFound() == Text::Mark::Utf16 ? QStringLiteral("UTF-16")
                          : utf8                                ? QStringLiteral("UTF-8")
                                                                : QStringLiteral("Windows-1252");
        import.separator = separator.Separator();
    }
    // The second pass: the rows.
    Reader reader(import, utf8, truncate);
    Parser parser(reader, import.separator);
    Text text(source, chunkSize);
    bool reading = true;
    for (QByteArrayView chunk; reading && !(chunk = text.Next()).isEmpty();) reading = parser.Feed(chunk);
    if (reading && parser.Finish()) reader.Finish();
    return import;
}

}  // namespace

Row Rows::operator[](std::size_t i) const {
    const std::uint64_t start = starts_[i];
    const char* at = blocks_[start / kBlockSize].data() + start % kBlockSize;
    Row row;
    for (QByteArray& field : row) {
        const auto size = static_cast<unsigned char>(*at++);
        field = QByteArray(at, size);
        at += size;
    }
    return row;
}

void Rows::push_back(const Row& row) {
    std::size_t size = 0;
    for (const QByteArray& field : row) {
        if (field.size() > ShortText250::kMaxLength) throw std::length_error("campo di oltre 250 byte");
        size += 1 + static_cast<std::size_t>(field.size());
    }
    if (blocks_.empty() || blocks_.back().size() + size > kBlockSize) {
        blocks_.emplace_back();
        blocks_.back().reserve(kBlockSize);
    }
    std::vector<char>& block = blocks_.back();
    starts_.push_back((blocks_.size() - 1) * kBlockSize + block.size());
    for (const QByteArray& field : row) {
        block.push_back(static_cast<char>(field.size()));
        block.insert(block.end(), field.begin(), field.end());
    }
}

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

Import Read(const QByteArray& bytes, bool truncate, qsizetype chunkSize) {
    BytesSource source(bytes);
    return ReadFrom(source, truncate, chunkSize);
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
    return ReadFrom(source, truncate, kChunkSize);
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
