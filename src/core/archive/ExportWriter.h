#pragma once
#include "core/archive/DataRecord.h"
#include "core/folder/ProgramFolder.h"

#include <QByteArrayView>
#include <QString>

#include <array>

class QIODevice;

// The spreadsheet export Archivio_Dati.xls: an HTML table in the markup by
// which Excel and the office suites recognise a worksheet, one line of
// Windows-1252 text, one header row and one row per grid row.
namespace spreadsheet_export {

inline const QString kFileName = QLatin1String(ProgramFolder::kExport);

// The rows of an empty grid: the export window's grid as designed.
constexpr int kEmptyRows = 10;

// The rows an export writes, one at a time, so that nothing is held whole in
// memory. A row is the nine cell texts of a grid row (name, type, lines 1 to
// 6, note) in Windows-1252, the code page of the archive's fields, so that
// stored fields go out as they are stored; a source that holds other text
// converts it with ToCodePage.
class Rows {
public:
    static constexpr int kCells = 9;
    // The cell texts, valid until the next call of Next.
    using Row = std::array<QByteArrayView, kCells>;

    virtual ~Rows() = default;
    // Gives the next row; false after the last. May throw FileError.
    virtual bool Next(Row& row) = 0;
};

// The grid of the export window right after it opened: one row per record
// that the open archive held when the rows were made, in file order, its
// fields Nome to Note as stored; an empty archive gives kEmptyRows empty rows.
class ArchiveRows : public Rows {
public:
    explicit ArchiveRows(DataRecordFile& file);
    bool Next(Row& row) override;
    // False when the rows are the empty rows of an empty archive.
    bool FromRecords() const { return records_ > 0; }

private:
    DataRecordFile& file_;
    long long records_;
    long long read_ = 0;
    int emptyLeft_;
    DataRecord record_;
};

// The text of a cell as the grid shows it: converted from the code page and
// trimmed, as a stored field is read.
QString CellText(QByteArrayView cell);

// Writes the whole export to an open device as it goes: the head, the header
// row, one row per row given, the end. Each data cell is marked as text, so
// that a spreadsheet program shows it as stored instead of reading a formula,
// a number or a date into it; its text is trimmed and written with "&", "<",
// ">", control characters and each blank after a blank as character
// references. Throws FileError when a write fails.
void Write(QIODevice& out, Rows& rows);

// Writes the export to the file at path. When the office suite's lock file of
// that file lies beside it (the file is open in the spreadsheet program),
// nothing is written and the error names who holds it; a lock left behind by
// this user on this computer, with no process holding the file, is removed
// first (see OfficeLock.h). Otherwise the export goes to a temporary file in the
// same folder, which replaces the file only once it is complete: a failure
// leaves an earlier file whole. The guard, when given, is asked about the
// folder the file is written into, as that folder is opened for the writing.
// Throws FileError.
void WriteFile(const QString& path, Rows& rows, const ReplacingFile::Guard& guard = {});

// The export of the archive of a folder, read only (never created or
// changed), as the export window writes it right after opening: to the file
// at path (as WriteFile does), or to an open device such as standard output.
// A path may be the folder's own export, never another of its files
// (ProgramFolder::WriteGuard). Throws FileError, also when the archive is
// missing.
void ExportArchive(const ProgramFolder& folder, const QString& path);
void ExportArchive(const ProgramFolder& folder, QIODevice& out);

}  // namespace spreadsheet_export
