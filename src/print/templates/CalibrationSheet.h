#pragma once
#include "print/engine/Model.h"

#include <QString>

#include <memory>

// The calibration test sheet: an A4 page with the outline of each label of
// the label grid where the label sheet puts it, a cross at the centre of
// each, millimetre rulers along the top and left edges of the paper, and the
// instructions in the first row of labels. Printed through a printer's
// calibration like every label sheet, so that a second sheet shows whether
// the values are right.
namespace calibration_sheet {

inline const QString kReportName = QStringLiteral("Foglio di prova");

// The arms of a label's cross, from its centre, and their width (mm).
constexpr double kCrossArm = 5.0;
constexpr double kCrossWidth = 0.3;

std::unique_ptr<report::TrepReport> Build();

// The line that names the printer and the values the sheet is printed with:
// "Stampante VelmoraPDF: spostamento 1,5 / -0,8 mm, scala 100,4 / 100 %"
// ("Documento PDF: ..." with no printer).
QString Caption(const QString& printer, const calibration::Calibration& calibration);

// Sets the caption and prepares the sheet's one page.
report::PrepareResult FillAndPrepare(report::TrepReport& sheet, const QString& caption);

}  // namespace calibration_sheet
