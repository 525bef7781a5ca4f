#pragma once
#include "core/archive/DataRecord.h"
#include "core/archive/ImportCsvRows.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

// Bringing an address list in: a CSV file with a header row, read as a stream
// and checked whole before anything is written, then appended to
// Archivio_Dati.pro in one locked write. The data archive window and
// velmora-batch import share all of it.
namespace csv_import {

// Something to tell about the file: its line (0 for the file as a whole), the
// column (from 1, 0 for the whole row) with its header, and what.
struct Notice {
    long long line = 0;
    int column = 0;
    QString header;
    QString text;
    // "riga 12, colonna 3 (Dati rigo 1): ..."
    QString Describe() const;
};

// The notices of one kind: the first kKept of them, which are the first by
// line, and how many there were in all. A file with a notice on every cell
// holds no more than these.
class Notices {
public:
    static constexpr std::size_t kKept = 100;

    void Add(Notice notice);
    bool empty() const { return count_ == 0; }
    long long Count() const { return count_; }
    const std::vector<Notice>& Kept() const { return kept_; }
    std::vector<Notice>::const_iterator begin() const { return kept_.begin(); }
    std::vector<Notice>::const_iterator end() const { return kept_.end(); }

    // The first `shown` described, one a line, then `more` with the number of
    // those not shown ("… e altri 12").
    QStringList Lines(std::size_t shown = kKept, const QString& more = QStringLiteral("… e altri %1")) const;

private:
    std::vector<Notice> kept_;
    long long count_ = 0;
};

// What a file brings. Nothing may be written while errors is not empty.
struct Import {
    QString encoding;  // "UTF-8", "UTF-16" or "Windows-1252"
    char separator = ',';
    // The headers of no field, as many as kIgnoredListed, then "… e altre N"
    // for the others.
    static constexpr long long kIgnoredListed = 100;
    QStringList ignoredColumns;
    Rows rows;
    Notices errors;
    Notices warnings;
    int truncated = 0;

    // "N schede da importare, M avvisi"
    QString Summary() const;
};

// Reads the bytes of a CSV file, chunkSize bytes at a time as a file is read:
// UTF-8 with a byte-order mark, UTF-16 with one, UTF-8 when every byte is,
// else Windows-1252; the separator (comma, semicolon or tab) is the one the
// header line uses most. Columns are matched by their header, ignoring case
// and blanks: "Nome" or "Nome etichetta", "Tipo", "Rigo 1" to "Rigo 6" or
// "Dati rigo 1" to "Dati rigo 6", "Note"; others are ignored and listed.
// Rows whose fields are all blank are skipped; a row without name, type or
// first line is a warning. A quote left open at the end refuses the file. No
// field holds a control character: line breaks and tabs become spaces, the
// others are dropped, each with a warning. With truncate, a field longer
// than 250 bytes is cut (a warning) instead of being an error. A cell of more
// than 1 MiB is no address at all: the read stops there with that error alone,
// truncate or not, and never holds the cell. When memory runs out (or
// anything else fails but a read of the file), the import is refused with
// that error alone, naming the file and the line being read.
constexpr qsizetype kChunkSize = 64 << 10;
Import Read(const QByteArray& bytes, bool truncate, qsizetype chunkSize = kChunkSize);
// The same for a file, read twice as a stream (the encoding and separator
// first, then the rows), so that memory holds the packed rows and no more of
// the file than a chunk. Throws FileError when it cannot be read.
Import ReadFile(const QString& path, bool truncate);

DataRecord RecordOf(const Row& row);

// What an append did: the number of the first new record, and what failed
// after the rows were committed (closing the archive), empty when nothing did.
struct Appended {
    long long first = 0;
    QString afterCommit;
};

// Appends the rows, in their order, after the records of the archive in the
// folder (created when missing), in one write under the append lock: all of
// them or, on a failure, none. Throws FileError when it added none; once the
// rows are committed nothing throws, and a later failure is told in the result.
Appended Append(const QString& folder, const Import& import);

}  // namespace csv_import
