#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace testing_support {

// LibreOffice Calc run headless, as the user's spreadsheet program, with a
// private profile. The path of soffice; empty when Calc is not installed.
QString CalcProgram();

// Converts a spreadsheet file with Calc, as an Italian user's Calc reads it,
// into CSV (UTF-8, every text cell in double quotes, separated by
// `separator`) in `outdir`. Returns the CSV file's path, or an empty text
// after adding a failure that says what Calc printed.
QString ConvertToCsv(const QString& soffice, const QString& spreadsheet, const QString& outdir, char separator);

// LibreOffice running headless with a private profile and a document open in
// it, as a user's spreadsheet program holding the export: it writes its lock
// file beside the document and keeps the document open. Crash kills it at
// once, as a crash would, and leaves the lock file behind. Needs Debian's
// python3-uno; Opened is false (with a failure added) when it could not open.
class DocumentInCalc {
public:
    DocumentInCalc(const QString& soffice, const QString& document);
    ~DocumentInCalc();
    bool Opened() const { return opened_; }
    void Crash();

    // The Python that can drive LibreOffice (Debian's, with python3-uno);
    // empty when it is missing.
    static QString Python();

private:
    QTemporaryDir profile_;
    QProcess office_;
    bool opened_ = false;
};

// One field of a CSV file that ConvertToCsv wrote: its text, and whether it
// stood in quotes. Calc quotes every text cell, so a field that stands
// unquoted was empty or a number (a date, a truth value, a formula's result).
struct CsvField {
    QString text;
    bool quoted = false;
};
using CsvRow = std::vector<CsvField>;

// The rows of such a file: fields separated by `separator`, in double quotes
// with "" for a quote, rows ended by line feeds. Empty, after a failure, when
// the file cannot be read.
std::vector<CsvRow> ReadCsv(const QString& path, char separator);
QStringList Texts(const CsvRow& row);

// Texts that a user may type or import and that a spreadsheet program reads
// as something else unless told that they are text: formulas, numbers with
// their signs, leading zeros and Italian separators, dates, fractions, truth
// values, markup, runs of blanks and a tab.
const QStringList& TypedTexts();

// A text as Calc shows it once read from a cell marked as text: its HTML
// import makes every tab a blank, whatever the markup.
QString CalcShows(QString text);

}  // namespace testing_support
