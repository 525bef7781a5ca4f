#pragma once
#include "print/engine/Prepared.h"
#include "print/printers/Printers.h"

#include <QHash>

namespace testing_support {

// A printer system of the test's own: named printers, the jobs they got.
class FakePrinters : public report::PrinterSystem {
public:
    struct Job {
        QString printer, outputFile;
        report::TDuplexMode duplex;
        std::vector<int> pages;
        report::PrinterSettings settings;  // indices into the report's prepared pages
        calibration::Calibration calibration;
    };

    QStringList names;
    QString defaultName;
    QStringList unusable;
    QHash<QString, std::vector<report::PrinterOption>> options;  // per printer
    QHash<QString, QString> ports;  // per printer; else "port of" its name
    std::vector<Job> jobs;
    bool spoolerFails = false;
    const report::PreparedPage* first = nullptr;  // the report's page 0, to index jobs

    QStringList Names() const override { return names; }
    QString DefaultPrinter() const override { return defaultName; }
    QString Port(const QString& printer) const override {
        return ports.value(printer, QStringLiteral("port of ") + printer);
    }
    std::vector<report::PrinterOption> Options(const QString& printer) const override {
        return options.value(printer);
    }
    bool IsUsable(const QString& printer) const override { return !unusable.contains(printer); }
    void Print(const report::PrintJob& job) override {
        if (spoolerFails) throw report::PrintError("spooler failed");
        Job done{job.printer, job.outputFile, job.duplex, {}, job.settings, job.calibration};
        for (long long i = 0; i < job.pages.count; ++i) done.pages.push_back(int(&job.pages.page(i) - first));
        jobs.push_back(done);
    }
};

// Installs a FakePrinters for the life of the object, with a fresh selection.
class UseFakePrinters {
public:
    explicit UseFakePrinters(QStringList names, QString defaultName = {}) {
        auto fake = std::make_unique<FakePrinters>();
        fake->names = names;
        fake->defaultName = defaultName.isEmpty() && !names.isEmpty() ? names.first() : defaultName;
        printers = fake.get();
        previous_ = report::SetPrinters(std::move(fake));
        report::SelectPrinter(printers->defaultName);
    }
    ~UseFakePrinters() { report::SetPrinters(std::move(previous_)); }
    FakePrinters* printers;

private:
    std::unique_ptr<report::PrinterSystem> previous_;
};

}  // namespace testing_support
