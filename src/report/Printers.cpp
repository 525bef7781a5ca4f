#include "report/Printers.h"

#include "app/ui/ModalRunner.h"
#include "report/Painter.h"
#include "report/Prepared.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace report {
namespace {

QPageLayout LayoutFor(const PreparedPage& page) {
    const bool landscape = page.orientation == poLandscape;
    const QSizeF portrait = landscape ? QSizeF(page.paperHeight, page.paperWidth)
                                      : QSizeF(page.paperWidth, page.paperHeight);
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter), landscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
}

// Full page: the painter's origin is the paper's corner. A printer that has
// margins of its own refuses zero margins; in full page mode they do not
// move anything, so only the paper and its orientation must take.
void ApplyLayout(QPrinter& printer, const PreparedPage& page) {
    const QPageLayout wanted = LayoutFor(page);
    printer.setFullPage(true);
    if (printer.setPageLayout(wanted)) return;
    printer.setPageSize(wanted.pageSize());
    printer.setPageOrientation(wanted.orientation());
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    const QPageLayout taken = printer.pageLayout();
    if (!taken.pageSize().isEquivalentTo(wanted.pageSize()) || taken.orientation() != wanted.orientation()) {
        throw PrintError("The printer does not take the page size");
    }
}

QPrinter::DuplexMode QtDuplex(TDuplexMode duplex) {
    switch (duplex) {
    case dmVertical: return QPrinter::DuplexLongSide;
    case dmHorizontal: return QPrinter::DuplexShortSide;
    case dmSimplex: return QPrinter::DuplexNone;
    case dmDefault: break;
    }
    return QPrinter::DuplexAuto;
}

// The printers of the system through Qt Print Support (CUPS on Linux).
class QtPrinters : public PrinterSystem {
public:
    QStringList Printers() const override { return QPrinterInfo::availablePrinterNames(); }
    QString DefaultPrinter() const override { return QPrinterInfo::defaultPrinterName(); }
    QString Port(const QString& printer) const override {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        return info.location().isEmpty() ? info.description() : info.location();
    }
    bool IsUsable(const QString& printer) const override {
        QPrinter qprinter(QPrinter::HighResolution);
        qprinter.setPrinterName(printer);
        return qprinter.isValid() && qprinter.printerName() == printer;
    }
    void ShowProperties(QWidget* parent, const QString& printer) override {
        QPrinter qprinter(QPrinter::HighResolution);
        qprinter.setPrinterName(printer);
        QPageSetupDialog dialog(&qprinter, parent);
        ui::RunModal(dialog);
    }
    void Print(const PrintJob& job) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(job.printer);
        if (!printer.isValid()) throw PrintError("The printer cannot be used");
        if (!job.outputFile.isEmpty()) printer.setOutputFileName(job.outputFile);
        printer.setDocName(job.title);
        printer.setCopyCount(1);
        printer.setDuplex(QtDuplex(job.duplex));
        PaintPages(printer, job.pages);
    }
};

std::unique_ptr<PrinterSystem>& Current() {
    static std::unique_ptr<PrinterSystem> printers = std::make_unique<QtPrinters>();
    return printers;
}

QString& Selected() {
    static QString selected;
    return selected;
}

}  // namespace

PrinterSystem& Printers() { return *Current(); }

std::unique_ptr<PrinterSystem> SetPrinters(std::unique_ptr<PrinterSystem> printers) {
    if (!printers) printers = std::make_unique<QtPrinters>();
    std::swap(Current(), printers);
    return printers;
}

QString SelectedPrinter() {
    const QStringList installed = Printers().Printers();
    for (const QString& name : installed) {
        if (name.compare(Selected(), Qt::CaseInsensitive) == 0) return name;
    }
    const QString fallback = Printers().DefaultPrinter();
    return installed.contains(fallback) || installed.isEmpty() ? fallback : installed.first();
}

bool SelectPrinter(const QString& name) {
    for (const QString& installed : Printers().Printers()) {
        if (installed.compare(name, Qt::CaseInsensitive) == 0) {
            Selected() = installed;
            return true;
        }
    }
    return false;
}

void PaintPages(QPrinter& printer, const std::vector<const PreparedPage*>& pages) {
    if (pages.empty()) return;
    ApplyLayout(printer, *pages.front());
    QPainter painter;
    if (!painter.begin(&printer)) throw PrintError("The printer could not start the document");
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            ApplyLayout(printer, *pages[i]);
            if (!printer.newPage()) throw PrintError("The printer could not start a new page");
        }
        DrawPage(painter, *pages[i], printer.resolution() / kUnitsPerInch);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        throw PrintError("The printer could not finish the document");
    }
}

void WritePdf(const std::vector<PreparedPage>& pages, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    std::vector<const PreparedPage*> sequence;
    for (const PreparedPage& page : pages) sequence.push_back(&page);
    PaintPages(printer, sequence);
}

}  // namespace report
