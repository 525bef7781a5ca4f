#include "print/printers/Printers.h"

#include "print/printers/SystemPrinters.h"

#include <utility>

namespace report {
namespace {

std::unique_ptr<PrinterSystem>& Current() {
    static std::unique_ptr<PrinterSystem> printers = SystemPrinters();
    return printers;
}

QString& Selected() {
    static QString selected;
    return selected;
}

}  // namespace

PrinterSystem& Printers() { return *Current(); }

std::unique_ptr<PrinterSystem> SetPrinters(std::unique_ptr<PrinterSystem> printers) {
    if (!printers) printers = SystemPrinters();
    std::swap(Current(), printers);
    return printers;
}

QString SelectedPrinter() {
    const QStringList installed = Printers().Names();
    for (const QString& name : installed) {
        if (name.compare(Selected(), Qt::CaseInsensitive) == 0) return name;
    }
    const QString fallback = Printers().DefaultPrinter();
    return installed.contains(fallback) || installed.isEmpty() ? fallback : installed.first();
}

bool SelectPrinter(const QString& name) {
    for (const QString& installed : Printers().Names()) {
        if (installed.compare(name, Qt::CaseInsensitive) == 0) {
            Selected() = installed;
            return true;
        }
    }
    return false;
}

QPageLayout PaperOf(const PreparedPage& page) {
    const bool landscape = page.orientation == poLandscape;
    const QSizeF portrait = landscape ? QSizeF(page.paperHeight, page.paperWidth)
                                      : QSizeF(page.paperWidth, page.paperHeight);
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter), landscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
}

PrintChoices ChoicesOf(const TrepPrintOptions& options) {
    PrintChoices choices;
    choices.range = options.PageNumbers.trimmed().isEmpty() ? PrintChoices::Range::All : PrintChoices::Range::Pages;
    choices.pages = options.PageNumbers;
    choices.copies = options.Copies;
    choices.collate = options.Collate;
    return choices;
}

namespace {

PrintOutcome Submit(const TrepReport& report, const QString& printer, PageStream pages, const QString& outputFile,
                    const PrinterSettings& settings, const ReplacingFile::Guard& outputGuard = {}) {
    using Status = PrintOutcome::Status;
    PrintJob job;
    job.printer = printer;
    job.outputFile = outputFile;
    job.outputGuard = outputGuard;
    job.title = report.ReportOptions.Name;
    job.duplex = report.PrintOptions.Duplex;
    job.settings = settings;
    job.pages = std::move(pages);
    if (report.PrintOptions.Calibration) job.calibration = report.PrintOptions.Calibration(printer);
    if (!Printers().IsUsable(job.printer)) return PrintOutcome::Of(Status::InvalidPrinter);
    if (job.pages.count == 0) return PrintOutcome::Of(Status::Printed);
    try {
        Printers().Print(job);
    } catch (const PrintError& error) {
        return PrintOutcome::Of(Status::Failed, QString::fromUtf8(error.what()));
    }
    return PrintOutcome::Of(Status::Printed);
}

}  // namespace

PrintOutcome PrintPrepared(const TrepReport& report, const QString& printer, const PrintChoices& choices,
                           const QString& outputFile, const PrinterSettings& settings,
                           const ReplacingFile::Guard& outputGuard) {
    return Submit(report, printer, PagesFor(report.PreparedPages(), choices), outputFile, settings, outputGuard);
}

PrintOutcome PrintWithoutDialog(const TrepReport& report, const PageStream* pages) {
    if (Printers().Names().isEmpty()) return PrintOutcome::Of(PrintOutcome::Status::NoPrinters);
    SelectPrinter(report.PrintOptions.Printer);
    const QString printer = SelectedPrinter();
    return pages ? Submit(report, printer, *pages, {}, {})
                 : PrintPrepared(report, printer, ChoicesOf(report.PrintOptions));
}

}  // namespace report
