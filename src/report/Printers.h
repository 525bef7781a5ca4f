#pragma once
#include "report/Model.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <vector>

class QPrinter;
class QWidget;

namespace report {

struct PreparedPage;

// An error of the printer driver or the spooler.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One print: the pages in painting order (copies included), where to.
struct PrintJob {
    QString printer;     // installed printer name
    QString outputFile;  // non-empty: write the printer's document into this file
    QString title;
    TDuplexMode duplex = dmDefault;
    std::vector<const PreparedPage*> pages;
};

// How the print path reaches the printers of the system.
class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;
    virtual QStringList Printers() const = 0;
    virtual QString DefaultPrinter() const = 0;
    // Where the printer is attached, as the print dialog shows it.
    virtual QString Port(const QString& printer) const = 0;
    // Whether the printer can take a job now.
    virtual bool IsUsable(const QString& printer) const = 0;
    // The printer's own settings dialog.
    virtual void ShowProperties(QWidget* parent, const QString& printer) = 0;
    // Throws PrintError when the driver or spooler fails.
    virtual void Print(const PrintJob& job) = 0;
};

// The printer system in use: Qt Print Support unless replaced. Replacing
// returns the previous one; an empty pointer restores Qt's.
PrinterSystem& Printers();
std::unique_ptr<PrinterSystem> SetPrinters(std::unique_ptr<PrinterSystem> printers);

// The printer selected for the run, shared by every report: the system's
// default until one is selected. Empty when no printer is installed.
QString SelectedPrinter();
// Selects the installed printer named `name` (ignoring case); false when
// there is none of that name.
bool SelectPrinter(const QString& name);

// Paints `pages` on a printer already set up, one sheet each, each on paper
// of its own size and orientation with zero margins. Throws PrintError.
void PaintPages(QPrinter& printer, const std::vector<const PreparedPage*>& pages);

// Writes the pages into a PDF file, one sheet each, with no printer.
void WritePdf(const std::vector<PreparedPage>& pages, const QString& path);

}  // namespace report
