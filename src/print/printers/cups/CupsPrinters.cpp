// The printers of a system with CUPS, through libcups: the document is our
// own PDF (the format the CUPS filters take), handed to the scheduler as one
// job with the paper and the printer's own options.
#include "print/printers/SystemPrinters.h"

#include "core/folder/TempFiles.h"
#include "print/pdf/PdfWriter.h"

#include <QFile>

#include <cups/cups.h>
#include <cups/ppd.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <optional>

namespace report {
namespace {

// A scratch folder for a document in the making; failing to make one is a
// print error like any other.
void MakeScratch(std::optional<ScratchFolder>& work) {
    try {
        work.emplace();
    } catch (const std::exception&) {
        throw PrintError("Impossibile preparare la stampa");
    }
}

// The paper of a job as CUPS names it ("A4"), from its first page.
QByteArray MediaOf(const PreparedPage& page) {
    const QPageSize size = PaperOf(page).pageSize();
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
        if (!job.outputFile.isEmpty())
            return WritePdf(job.pages, job.outputFile, job.title, {}, job.calibration, job.outputGuard);
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

}  // namespace

std::unique_ptr<PrinterSystem> SystemPrinters() { return std::make_unique<CupsPrinters>(); }

}  // namespace report
