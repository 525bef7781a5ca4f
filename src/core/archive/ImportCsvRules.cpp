#include "core/archive/ImportCsvRules.h"

#include "core/folder/TextRules.h"

#include <QRegularExpression>

#include <algorithm>

namespace csv_import {
namespace {

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

}  // namespace

void RowRules::Cell(long long line, long long column, QByteArrayView bytes) {
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

void RowRules::RowEnd(long long line) {
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

void RowRules::CellTooLong(long long line, long long column) {
    Error(line, column, QStringLiteral("cella di oltre %1 MB: il file non sembra un elenco di indirizzi")
                            .arg(kMaxCell >> 20));
}

void RowRules::QuoteLeftOpen(long long line, long long column) {
    Error(line, column, QStringLiteral("virgolette aperte e mai chiuse: il resto del file sarebbe una cella sola"));
}

void RowRules::Finish() {
    if (!headerSeen_) Error(0, 0, QStringLiteral("il file è vuoto: manca la riga di intestazione"));
}

QString RowRules::Decode(QByteArrayView cell) const {
    return utf8_ ? QString::fromUtf8(cell) : FromCodePage(cell.data(), cell.size());
}

void RowRules::HeaderCell(long long line, long long column, QByteArrayView bytes) {
    const QString header = TrimText(Decode(bytes));
    headerText_ += header;
    headerEnds_.push_back(headerText_.size());
    int field = FieldOfHeader(header);
    if (field >= 0 && std::find(columns_.begin(), columns_.end(), field) != columns_.end()) {
        Error(line, column, QStringLiteral("colonna ripetuta"));
        field = -1;
    } else if (field < 0 && !header.isEmpty() && ++ignored_ <= Import::kIgnoredListed) {
        import_.ignoredColumns << header;
    }
    columns_.push_back(field);
    if (field >= 0) present_[field] = true;
}

void RowRules::HeaderEnd(long long line) {
    headerSeen_ = true;
    if (ignored_ > Import::kIgnoredListed)
        import_.ignoredColumns << QStringLiteral("… e altre %1").arg(ignored_ - Import::kIgnoredListed);
    const bool lines = std::any_of(present_.begin() + DataRecord::Rigo01, present_.begin() + DataRecord::Rigo06 + 1,
                                   [](bool present) { return present; });
    if (!present_[DataRecord::Nome] && !lines)
        return Error(line, 0, QStringLiteral("manca la colonna del nome (Nome) o dei righi (Rigo 1 ... Rigo 6)"));
    for (const Required& required : kRequired)
        if (!present_[required.field]) Warn(line, 0, QString::fromUtf8(required.missing));
}

// The text of one cell as the archive stores it, after the checks.
QByteArray RowRules::Field(long long line, long long column, QByteArrayView cell) {
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

Notice RowRules::Make(long long line, long long column, const QString& text) const {
    return {line, static_cast<int>(column), Header(column), text};
}

QString RowRules::Header(long long column) const {
    if (column < 1 || column > static_cast<long long>(headerEnds_.size())) return {};
    const auto c = static_cast<std::size_t>(column - 1);
    const qsizetype start = c == 0 ? 0 : headerEnds_[c - 1];
    return headerText_.sliced(start, headerEnds_[c] - start);
}

void RowRules::Error(long long line, long long column, const QString& text) { import_.errors.Add(Make(line, column, text)); }

void RowRules::Warn(long long line, long long column, const QString& text) { import_.warnings.Add(Make(line, column, text)); }

}  // namespace csv_import
