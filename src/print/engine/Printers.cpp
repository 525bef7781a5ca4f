#include "print/engine/Printers.h"

#include "core/folder/TempFiles.h"
#include "print/engine/Prepared.h"

#include <QFile>
#include <QPageLayout>

#include <cups/cups.h>

#include <algorithm>
#include <cups/ppd.h>

#include <unistd.h>

#include <cstring>

#include <optional>

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

// A scratch folder for a document in the making; failing to make one is a
// print error like any other.
void MakeScratch(std::optional<ScratchFolder>& work) {
    try {
        work.emplace();
    } catch (const std::exception&) {
        throw PrintError("The print could not be prepared");
    }
}

// The paper of a job as CUPS names it ("A4"), from its first page.
QByteArray MediaOf(const PreparedPage& page) {
    const QPageSize size = LayoutFor(page).pageSize();
    if (size.id() != QPageSize::Custom) return size.key().toUtf8();
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return QStringLiteral("Custom.%1x%2mm").arg(mm.width()).arg(mm.height()).toUtf8();
}

const char* SidesOf(TDuplexMode duplex) {
    switch (duplex) {
    case dmVertical: return "two-sided-long-edge";
    case dmHorizontal: return "two-sided-short-edge";
    case dmSimplex: return "one-sided";
    case dmDefault: break;
    }
    return nullptr;
}

// The destinations CUPS knows, for the life of the object.
class Destinations {
public:
    Destinations() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    const cups_dest_t* begin() const { return dests_; }
    const cups_dest_t* end() const { return dests_ + count_; }
    const cups_dest_t* Find(const QString& name) const {
        for (const cups_dest_t& dest : *this)
            if (!dest.instance && QString::fromUtf8(dest.name) == name) return &dest;
        return nullptr;
    }

private:
    cups_dest_t* dests_ = nullptr;
    int count_;
};

QString Option(const cups_dest_t& dest, const char* name) {
    return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
}

// The printers of the system through CUPS: the document is drawn to PDF, the
// format the CUPS filters take, and handed to the scheduler as one job.
class CupsPrinters : public PrinterSystem {
public:
    QStringList Names() const override {
        QStringList names;
        for (const cups_dest_t& dest : Destinations())
            if (!dest.instance) names << QString::fromUtf8(dest.name);
        return names;
    }
    QString DefaultPrinter() const override {
        for (const cups_dest_t& dest : Destinations())
            if (dest.is_default && !dest.instance) return QString::fromUtf8(dest.name);
        return {};
    }
    QString Port(const QString& printer) const override {
        const Destinations dests;
        const cups_dest_t* dest = dests.Find(printer);
        if (!dest) return {};
        const QString location = Option(*dest, "printer-location");
        return location.isEmpty() ? Option(*dest, "printer-info") : location;
    }
    bool IsUsable(const QString& printer) const override { return Destinations().Find(printer) != nullptr; }

    // The options of the printer's PPD, which CUPS still keeps for every
    // driver-based queue (the PPD interface is deprecated but not replaced
    // for driver options).
    std::vector<PrinterOption> Options(const QString& printer) const override {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        std::vector<PrinterOption> options;
        const char* file = cupsGetPPD2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData());
        if (!file) return options;
        ppd_file_t* ppd = ppdOpenFile(file);
        unlink(file);
        if (!ppd) return options;
        for (ppd_option_t* o = ppdFirstOption(ppd); o; o = ppdNextOption(ppd)) {
            if (!std::strcmp(o->keyword, "PageSize") || !std::strcmp(o->keyword, "PageRegion")) continue;
            PrinterOption option{o->keyword, QString::fromUtf8(o->text), {}, o->defchoice};
            for (int i = 0; i < o->num_choices; ++i)
                option.choices.push_back({o->choices[i].choice, QString::fromUtf8(o->choices[i].text)});
            options.push_back(std::move(option));
        }
        ppdClose(ppd);
        return options;
#pragma GCC diagnostic pop
    }
    void Print(const PrintJob& job) override {
        if (!job.outputFile.isEmpty()) return WritePdf(job.pages, job.outputFile, job.title, {}, job.calibration);
        std::optional<ScratchFolder> work;
        MakeScratch(work);
        const QString document = work->File(QStringLiteral("job.pdf"));
        // The paper is the first page's, seen as it is written.
        QByteArray media;
        WritePdf(PageStream{job.pages.count,
                            [&](long long i) -> const PreparedPage& {
                                const PreparedPage& page = job.pages.page(i);
                                if (i == 0) media = MediaOf(page);
                                return page;
                            }},
                 document, job.title, {}, job.calibration);
        int count = 0;
        cups_option_t* options = nullptr;
        if (!media.isEmpty()) count = cupsAddOption("media", media.constData(), count, &options);
        if (const char* sides = SidesOf(job.duplex)) count = cupsAddOption("sides", sides, count, &options);
        for (const auto& [keyword, choice] : job.settings)
            count = cupsAddOption(keyword.constData(), choice.constData(), count, &options);
        const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, job.printer.toUtf8().constData(),
                                      QFile::encodeName(document).constData(), job.title.toUtf8().constData(),
                                      count, options);
        cupsFreeOptions(count, options);
        if (id == 0) throw PrintError(cupsLastErrorString());
    }
};

std::unique_ptr<PrinterSystem>& Current() {
    static std::unique_ptr<PrinterSystem> printers = std::make_unique<CupsPrinters>();
    return printers;
}

QString& Selected() {
    static QString selected;
    return selected;
}

}  // namespace

PrinterSystem& Printers() { return *Current(); }

std::unique_ptr<PrinterSystem> SetPrinters(std::unique_ptr<PrinterSystem> printers) {
    if (!printers) printers = std::make_unique<CupsPrinters>();
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
                    const PrinterSettings& settings) {
    using Status = PrintOutcome::Status;
    PrintJob job;
    job.printer = printer;
    job.outputFile = outputFile;
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
                           const QString& outputFile, const PrinterSettings& settings) {
    return Submit(report, printer, PagesFor(report.PreparedPages(), choices), outputFile, settings);
}

PrintOutcome PrintWithoutDialog(const TrepReport& report, const PageStream* pages) {
    if (Printers().Names().isEmpty()) return PrintOutcome::Of(PrintOutcome::Status::NoPrinters);
    SelectPrinter(report.PrintOptions.Printer);
    const QString printer = SelectedPrinter();
    return pages ? Submit(report, printer, *pages, {}, {})
                 : PrintPrepared(report, printer, ChoicesOf(report.PrintOptions));
}

PageStream PagesFor(const std::vector<PreparedPage>& pages, const PrintChoices& choices) {
    PageOrder order(choices, int(pages.size()));
    const long long count = order.Count();
    return {count, [&pages, order = std::move(order)](long long i) -> const PreparedPage& {
                return pages[std::size_t(order.At(i))];
            }};
}

PageStream StreamOf(std::vector<const PreparedPage*> pages) {
    const auto count = static_cast<long long>(pages.size());
    return {count, [pages = std::move(pages)](long long i) -> const PreparedPage& { return *pages[std::size_t(i)]; }};
}

}  // namespace report
