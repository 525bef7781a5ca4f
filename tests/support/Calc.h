#pragma once
#include <QString>

namespace testing_support {

// LibreOffice Calc run headless, as the user's spreadsheet program, with a
// private profile. The path of soffice; empty when Calc is not installed.
QString CalcProgram();

// Converts a spreadsheet file with Calc into CSV (UTF-8, fields quoted as
// needed, separated by `separator`) in `outdir`. Returns the CSV file's path,
// or an empty text after adding a failure that says what Calc printed.
QString ConvertToCsv(const QString& soffice, const QString& spreadsheet, const QString& outdir, char separator);

}  // namespace testing_support
