#include "batch/Output.h"

#include "batch/PrintVerbs.h"
#include "print/pdf/PdfWriter.h"
#include "print/printers/Printers.h"
#include "print/templates/CalibrationSheet.h"

#include "core/folder/FileAccess.h"

#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace batch {
namespace {

// A printer named on the command line, or chosen by the report, that is not installed.
const char* const kInvalidPrinter = "la stampante scelta non è valida";

}  // namespace

void RefuseProgramFile(const QString& output, const ProgramFolder& folder, const QString& allowed) {
    if (const QString refusal = folder.WriteRefusal(output, allowed); !refusal.isEmpty()) throw Failure(refusal);
}

void CheckStandardOutput(QTextStream& out) {
    out.flush();
    if (out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout)) return;
    const int error = errno;
    throw Failure(QStringLiteral("impossibile scrivere il resoconto sullo standard output: %1").arg(SystemReason(error)));
}

report::PageStream PagesOf(Document& made, int copies) {
    report::PrintChoices choices;
    choices.copies = copies;
    if (const auto* whole = std::get_if<WholeReport>(&made))
        return report::PagesFor(whole->report->PreparedPages(), choices);
    PageByPage& paged = std::get<PageByPage>(made);
    report::PageOrder order(choices, int(paged.count));
    const long long count = order.Count();
    return {count, [&paged, order = std::move(order)](long long i) -> const report::PreparedPage& {
                paged.prepare(order.At(i));
                return paged.report->PreparedPages().front();
            }};
}

void WriteDocument(const report::PageStream& pages, const QString& title, const QString& path,
                   const ProgramFolder& folder, const calibration::Calibration& calibration, Progress& progress) {
    report::WritePdf(
        pages, path, title, [&](long long done, long long total) { progress.Show(kDrawing, done, total); },
        calibration, folder.WriteGuard(path));
    progress.End();
}

void CheckPrinter(const QString& printer) {
    if (printer.compare(QStringLiteral("default"), Qt::CaseInsensitive) == 0) return;
    const QStringList installed = report::Printers().Names();
    const bool known = std::any_of(installed.begin(), installed.end(), [&](const QString& name) {
        return name.compare(printer, Qt::CaseInsensitive) == 0;
    });
    if (!installed.isEmpty() && !known) throw Failure(QString::fromUtf8(kInvalidPrinter));
}

void Calibrate(report::TrepReport& report, const std::optional<calibration::Calibration>& given,
               const ProgramFolder& folder, const Options& options) {
    if (given)
        report.PrintOptions.Calibration = [c = *given](const QString&) { return c; };
    else if (!options.printer.isEmpty())
        report.PrintOptions.Calibration = [folder](const QString& printer) { return calibration::Read(folder, printer); };
    if (report.ReportOptions.Name != calibration_sheet::kReportName) return;
    QString printer;
    if (!options.printer.isEmpty()) {
        report::SelectPrinter(options.printer);
        printer = report::SelectedPrinter();
    }
    const calibration::Calibration values =
        report.PrintOptions.Calibration ? report.PrintOptions.Calibration(printer) : calibration::Calibration();
    CheckPrepared(calibration_sheet::FillAndPrepare(report, calibration_sheet::Caption(printer, values)));
}

void PrintOn(report::TrepReport& report, const report::PageStream& pages, const QString& printer,
             Progress& progress) {
    using Status = report::PrintOutcome::Status;
    report.PrintOptions.Printer = printer;
    report.PrintOptions.ShowDialog = false;
    const report::PageStream shown{pages.count, [&](long long i) -> const report::PreparedPage& {
                                       const report::PreparedPage& page = pages.page(i);
                                       progress.Show(kDrawing, i + 1, pages.count);
                                       return page;
                                   }};
    const report::PrintOutcome outcome = report::PrintWithoutDialog(report, &shown);
    progress.End();
    switch (outcome.status) {
    case Status::Printed: return;
    case Status::NoPrinters: throw Failure(QStringLiteral("nessuna stampante installata"));
    case Status::InvalidPrinter: throw Failure(QString::fromUtf8(kInvalidPrinter));
    case Status::Failed: throw Failure(outcome.error);
    case Status::Cancelled: break;
    }
    throw Failure(QStringLiteral("stampa non eseguita"));
}

}  // namespace batch
