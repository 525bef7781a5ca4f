// The printers of Windows, through Qt's Windows print engine: the spooler's
// printers as QPrinterInfo lists them, and every page drawn onto the printer
// with the painter the preview uses, so that paper is what the preview shows.
// A document written to a file is our own PDF, as on every system.
#include "print/printers/SystemPrinters.h"

#include "print/engine/Painter.h"
#include "print/pdf/PdfWriter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace report {
namespace {

// The driver's settings that Qt's Windows printer takes by name: the
// resolution, among the printer's own, and colour or black and white.
const QByteArray kResolution = QByteArrayLiteral("Resolution");
const QByteArray kColour = QByteArrayLiteral("ColorMode");
const QByteArray kInColour = QByteArrayLiteral("Color");
const QByteArray kGrey = QByteArrayLiteral("GrayScale");

QByteArray ResolutionChoice(int dpi) { return QByteArray::number(dpi) + "dpi"; }

QPrinter::DuplexMode DuplexOf(TDuplexMode duplex) {
    switch (duplex) {
    case dmVertical: return QPrinter::DuplexLongSide;
    case dmHorizontal: return QPrinter::DuplexShortSide;
    case dmSimplex: return QPrinter::DuplexNone;
    case dmDefault: break;
    }
    return QPrinter::DuplexAuto;
}

class WindowsPrinters : public PrinterSystem {
public:
    QStringList Names() const override { return QPrinterInfo::availablePrinterNames(); }
    QString DefaultPrinter() const override { return QPrinterInfo::defaultPrinterName(); }
    QString Port(const QString& printer) const override {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        return info.location().isEmpty() ? info.description() : info.location();
    }
    bool IsUsable(const QString& printer) const override { return !QPrinterInfo::printerInfo(printer).isNull(); }

    std::vector<PrinterOption> Options(const QString& printer) const override {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        std::vector<PrinterOption> options;
        if (info.isNull()) return options;
        const QList<int> resolutions = info.supportedResolutions();
        if (!resolutions.isEmpty()) {
            PrinterOption& option = options.emplace_back(PrinterOption{kResolution, QStringLiteral("Risoluzione"), {}, {}});
            for (int dpi : resolutions)
                option.choices.push_back({ResolutionChoice(dpi), QStringLiteral("%1 dpi").arg(dpi)});
            option.defaultChoice = option.choices.back().keyword;
        }
        const QList<QPrinter::ColorMode> colours = info.supportedColorModes();
        if (colours.contains(QPrinter::Color) && colours.contains(QPrinter::GrayScale))
            options.push_back({kColour, QStringLiteral("Colore"),
                               {{kInColour, QStringLiteral("A colori")}, {kGrey, QStringLiteral("Bianco e nero")}},
                               info.defaultColorMode() == QPrinter::Color ? kInColour : kGrey});
        return options;
    }

    void Print(const PrintJob& job) override {
        if (!job.outputFile.isEmpty())
            return WritePdf(job.pages, job.outputFile, job.title, {}, job.calibration, job.outputGuard);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(job.printer);
        if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid())
            throw PrintError("Stampante non valida");
        printer.setDocName(job.title);
        printer.setFullPage(true);
        printer.setDuplex(DuplexOf(job.duplex));
        const auto resolution = job.settings.find(kResolution);
        if (resolution != job.settings.end()) {
            for (int dpi : QPrinterInfo::printerInfo(job.printer).supportedResolutions())
                if (ResolutionChoice(dpi) == resolution->second) printer.setResolution(dpi);
        }
        const auto colour = job.settings.find(kColour);
        if (colour != job.settings.end())
            printer.setColorMode(colour->second == kGrey ? QPrinter::GrayScale : QPrinter::Color);
        QPainter painter;
        // A job refused half-way is taken back from the spooler whole.
        const auto refuse = [&](const char* reason) {
            if (painter.isActive()) printer.abort();
            throw PrintError(reason);
        };
        for (long long i = 0; i < job.pages.count; ++i) {
            const PreparedPage& page = job.pages.page(i);
            // The paper by size and orientation (a whole layout with no
            // margins is refused by a printer that cannot print to the
            // edge), then no margins: the engine puts its origin at the
            // margins, and the page is drawn from the paper's corner.
            const QPageLayout paper = PaperOf(page);
            if (!printer.setPageSize(paper.pageSize()) || !printer.setPageOrientation(paper.orientation()) ||
                !printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter))
                refuse("La stampante non ha la carta della pagina");
            if (i == 0 ? !painter.begin(&printer) : !printer.newPage()) refuse("La stampante ha rifiutato la stampa");
            // x' = x × scale + offset from the paper's corner, as the
            // calibration says.
            const double dotsPerMm = printer.resolution() / 25.4;
            painter.save();
            painter.translate(job.calibration.OffsetXMm() * dotsPerMm, job.calibration.OffsetYMm() * dotsPerMm);
            painter.scale(job.calibration.ScaleXFactor(), job.calibration.ScaleYFactor());
            DrawPage(painter, page, printer.resolution() / 96.0);
            painter.restore();
        }
        if (!painter.end() || printer.printerState() == QPrinter::Error)
            refuse("La stampante ha rifiutato la stampa");
    }
};

}  // namespace

std::unique_ptr<PrinterSystem> SystemPrinters() { return std::make_unique<WindowsPrinters>(); }

}  // namespace report
