#pragma once
#include "core/archive/ImportCsv.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstddef>
#include <vector>

// What the import makes of the cells of a CSV file: the header's columns, the
// checks of each field with their notices, and the rows it keeps.
namespace csv_import {

// Far above any field (250 bytes): a cell this long is no address, and the read
// stops rather than hold it.
constexpr std::size_t kMaxCell = 1 << 20;

class RowRules {
public:
    RowRules(Import& import, bool utf8, bool truncate) : import_(import), utf8_(utf8), truncate_(truncate) {}

    // Cell `column` (from 1) of the row whose first byte lies on `line`.
    void Cell(long long line, long long column, QByteArrayView bytes);
    // The end of that row, after its cells.
    void RowEnd(long long line);
    // A cell that holds far more than any field: the read stops at it.
    void CellTooLong(long long line, long long column);
    // A quoted cell still open at the end of the file, starting on `line`:
    // everything after its quote would be one cell.
    void QuoteLeftOpen(long long line, long long column);
    // The end of the file.
    void Finish();

private:
    QString Decode(QByteArrayView cell) const;
    void HeaderCell(long long line, long long column, QByteArrayView bytes);
    void HeaderEnd(long long line);
    QByteArray Field(long long line, long long column, QByteArrayView cell);
    Notice Make(long long line, long long column, const QString& text) const;
    // The header of a column (from 1), empty beyond the header.
    QString Header(long long column) const;
    void Error(long long line, long long column, const QString& text);
    void Warn(long long line, long long column, const QString& text);

    Import& import_;
    const bool utf8_;
    const bool truncate_;
    bool headerSeen_ = false;
    std::array<bool, kFields> present_{};  // whether a column fills the field
    std::vector<int> columns_;  // the field of each column, or -1
    // The headers one after the other, and where each column's ends: a
    // header of millions of columns is held as the text it is.
    QString headerText_;
    std::vector<qsizetype> headerEnds_;
    long long ignored_ = 0;  // columns with a header of no field
    Row row_;           // the row being read
    bool any_ = false;  // whether it holds a field
};

}  // namespace csv_import
