#pragma once
#include "print/engine/Model.h"
#include "core/sheets/LabelGrid.h"
#include "core/sheets/SheetRecord.h"

#include <QString>

#include <array>
#include <memory>

// The label sheet: an A4 portrait page with a light-yellow label on each slot
// of the label grid, and on each label one one-line text object per line,
// named by the grid (txtRigo01_E01 ..). The sheet preview, the sheet print,
// the single-record preview and the batch tool each build their own copy,
// differing only in the name.
namespace label_sheet {

using label_grid::kLines;
using label_grid::kSlots;

// Line L of slot n, at [n - 1][L - 1].
using Lines = std::array<std::array<QString, kLines>, kSlots>;

// The report names of the copies.
inline const QString kPageName = QStringLiteral("Pagina Etichette");
inline const QString kRecordName = QStringLiteral("Anteprima Etichetta");

// The lines of a stored page, and one label's lines on every label.
Lines PageLines(const SheetRecord& page);
Lines OnEveryLabel(const std::array<QString, kLines>& label);

std::unique_ptr<report::TrepReport> Build(const QString& reportName);

// The text objects of a sheet's lines, looked up once for any number of fills.
class Filler {
public:
    explicit Filler(report::TrepReport& sheet);

    // Fills and prepares the sheet: the page to portrait, the text object of
    // every line of every slot set to its line with blanks and control
    // characters trimmed, then a fresh preparation of its one page. The one
    // routine behind every printed sheet.
    report::PrepareResult FillAndPrepare(const Lines& lines);

private:
    report::TrepReport& sheet_;
    std::array<std::array<report::TrepMemoView*, kLines>, kSlots> memos_;
};

// One fresh fill and preparation of a sheet through its Filler.
report::PrepareResult FillAndPrepare(report::TrepReport& sheet, const Lines& lines);

}  // namespace label_sheet
