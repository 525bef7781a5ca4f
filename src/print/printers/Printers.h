#pragma once
#include "core/folder/TempFiles.h"
#include "print/engine/Model.h"
#include "print/engine/Pages.h"
#include "print/engine/PrintChoices.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

namespace report {

// What a print came to. The caller decides what the user is told.
struct PrintOutcome {
    enum class Status { Printed, Cancelled, NoPrinters, InvalidPrinter, Failed };
    Status status = Status::Printed;
    QString error;  // for Failed: what went wrong

    static PrintOutcome Of(Status status, QString error = {}) { return {status, std::move(error)}; }
    bool Printed() const { return status == Status::Printed; }
};

// One of a printer's own settings as its driver offers it (tray, resolution,
// duplex, ...): the keyword CUPS knows it by, the driver's text for it, its
// choices and the printer's default choice. Paper size is never one of them:
// it comes from the template.
struct PrinterOption {
    struct Choice {
        QByteArray keyword;
        QString text;
    };
    QByteArray keyword;
    QString text;
    std::vector<Choice> choices;
    QByteArray defaultChoice;
};
// The settings chosen for one print: option keyword to choice keyword.
using PrinterSettings = std::map<QByteArray, QByteArray>;

// One print: the pages in painting order (copies included), where to.
struct PrintJob {
    QString printer;     // installed printer name
    QString outputFile;  // non-empty: write the printer's document into this file
    ReplacingFile::Guard outputGuard;  // asked about the folder the file is written into
    QString title;
    TDuplexMode duplex = dmDefault;
    PrinterSettings settings;
    PageStream pages;
    calibration::Calibration calibration;  // applied to every page
};

// How the print path reaches the printers of the system: the one seam
// between the printing core and a spooler. The system's own lives in a
// folder of its own below this one (cups/), one side per system.
class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;
    virtual QStringList Names() const = 0;
    virtual QString DefaultPrinter() const = 0;
    // Where the printer is attached, as the print dialog shows it.
    virtual QString Port(const QString& printer) const = 0;
    // The printer's own settings, as its driver offers them.
    virtual std::vector<PrinterOption> Options(const QString& printer) const = 0;
    // Whether the printer can take a job now.
    virtual bool IsUsable(const QString& printer) const = 0;
    // Throws PrintError when the driver or spooler fails.
    virtual void Print(const PrintJob& job) = 0;
};

// The printer system in use: the system's own (SystemPrinters) unless
// replaced. Replacing returns the previous one; an empty pointer restores
// the system's.
PrinterSystem& Printers();
std::unique_ptr<PrinterSystem> SetPrinters(std::unique_ptr<PrinterSystem> printers);

// The printer selected for the run, shared by every report: the system's
// default until one is selected. Empty when no printer is installed.
QString SelectedPrinter();
// Selects the installed printer named `name` (ignoring case); false when
// there is none of that name.
bool SelectPrinter(const QString& name);

// The choices a report's print options make when no dialog asks.
PrintChoices ChoicesOf(const TrepPrintOptions& options);

// Prints the pages the report prepared last, as `choices` pick them, on
// `printer` or into `outputFile` (the printer's document, written where
// `outputGuard` allows), with the printer's `settings`. A printer that is not
// there (any more) is refused: the job goes to that printer or nowhere. No
// dialog and no message: the outcome says what happened.
PrintOutcome PrintPrepared(const TrepReport& report, const QString& printer, const PrintChoices& choices,
                           const QString& outputFile = {}, const PrinterSettings& settings = {},
                           const ReplacingFile::Guard& outputGuard = {});

// Prints as the report's print options say, on the printer they name, with
// no dialog; the selection for the run is left as it was. `pages`, when
// given, are printed in place of the pages the report prepared, copies
// included.
PrintOutcome PrintWithoutDialog(const TrepReport& report, const PageStream* pages = nullptr);

}  // namespace report
