#pragma once
#include "print/engine/Model.h"
#include "print/engine/PrintChoices.h"
#include "print/engine/Prepared.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace report {

// An error of the printer driver, the spooler or the output file.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

// The pages of a print, made as they are drawn: `page(i)` is asked for each
// i from 0 to count - 1, in order, on the calling thread, and the page it
// gives stays as it is until the next call; so a long document made one page
// at a time never holds more than a few.
struct PageStream {
    long long count = 0;
    std::function<const PreparedPage&(long long)> page;
};

// One print: the pages in painting order (copies included), where to.
struct PrintJob {
    QString printer;     // installed printer name
    QString outputFile;  // non-empty: write the printer's document into this file
    QString title;
    TDuplexMode duplex = dmDefault;
    PrinterSettings settings;
    PageStream pages;
    calibration::Calibration calibration;  // applied to every page
};

// How the print path reaches the printers of the system.
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

// The printer system in use: the system's CUPS unless replaced. Replacing
// returns the previous one; an empty pointer restores CUPS.
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
// `printer` or into `outputFile` (the printer's document), with the printer's
// `settings`. A printer that is not there (any more) is refused: the job goes
// to that printer or nowhere. No dialog and no message: the outcome says
// what happened.
PrintOutcome PrintPrepared(const TrepReport& report, const QString& printer, const PrintChoices& choices,
                           const QString& outputFile = {}, const PrinterSettings& settings = {});

// Prints as the report's print options say, on the printer they name, with
// no dialog; the selection for the run is left as it was. `pages`, when
// given, are printed in place of the pages the report prepared, copies
// included.
PrintOutcome PrintWithoutDialog(const TrepReport& report, const PageStream* pages = nullptr);

// Told how many of how many pages are drawn, after each page.
using PageProgress = std::function<void(long long done, long long total)>;

// Writes the pages into a PDF file, one sheet each, each on paper of its own
// size and orientation, with no printer; the file replaces an earlier one
// only when all of it was written. The pages are drawn on every core;
// `progress` is told on the calling thread as they reach the file. Each page
// is drawn moved and scaled by `calibration` from its top left corner. Throws
// PrintError when the file cannot be written.
void WritePdf(const PageStream& pages, const QString& path, const QString& title = {},
              const PageProgress& progress = {}, const calibration::Calibration& calibration = {});
// The pages of a short list, for instance {&page}.
PageStream StreamOf(std::vector<const PreparedPage*> pages);
// The pages to paint as `choices` pick them from `pages`, copies included;
// with no choices every page once, in order. `pages` must outlive them.
PageStream PagesFor(const std::vector<PreparedPage>& pages, const PrintChoices& choices = {});

}  // namespace report
