#pragma once
#include "report/Model.h"
#include "sheets/SheetRecord.h"

#include <QString>

#include <array>
#include <memory>

// The label sheet: an A4 portrait page of 24 light-yellow labels, 62 x 32 mm,
// 3 across and 8 down, each with six one-line text objects txtRigo01_Enn ..
// txtRigo06_Enn. The sheet preview, the sheet print, the single-record preview
// and the batch tool each build their own copy, differing only in the name.
namespace label_sheet {

constexpr int kSlots = 24;
constexpr int kLines = 6;

// Line L (1 .. 6) of slot n (1 .. 24), at [n - 1][L - 1].
using Lines = std::array<std::array<QString, kLines>, kSlots>;

// The report names of the copies.
inline const QString kPageName = QStringLiteral("Pagina Etichette");
inline const QString kRecordName = QStringLiteral("Anteprima Etichetta");

// The lines of a stored page, and one label's lines on all 24 labels.
Lines PageLines(const SheetRecord& page);
Lines OnEveryLabel(const std::array<QString, kLines>& label);

std::unique_ptr<report::TrepReport> Build(const QString& reportName);

// The name of the text object of line L of slot n ("txtRigo01_E01").
QString LineObject(int line, int slot);

// Fills and prepares a sheet: the page to portrait, each of the 144 text
// objects set to its line with blanks and control characters trimmed, then a
// fresh preparation. The one routine behind every printed sheet.
report::PrepareResult FillAndPrepare(report::TrepReport& sheet, const Lines& lines);

}  // namespace label_sheet
