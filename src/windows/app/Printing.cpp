#include "windows/app/Printing.h"

#include "ui/Accessibility.h"
#include "ui/Messages.h"
#include "report_ui/Print.h"
#include "report_ui/ShowReport.h"

namespace printing {

void Tell(QWidget* window, const report::PrepareResult& result) {
    if (result) return;
    ui::ShowMessage(window, QStringLiteral("The following error(s) have occured:\n") + result.errors.join(u'\n'),
                    ui::Kind::Error);
}

void Tell(QWidget* window, const report::PrintOutcome& outcome) {
    using Status = report::PrintOutcome::Status;
    switch (outcome.status) {
    case Status::Printed: ui::Announce(QStringLiteral("Stampa inviata.")); return;
    case Status::Cancelled: return;
    case Status::NoPrinters:
        ui::ShowMessage(window, QStringLiteral("You have no printers installed"), ui::Kind::Error);
        return;
    case Status::InvalidPrinter:
        ui::ShowMessage(window, QStringLiteral("Printer selected is not valid"), ui::Kind::Error);
        return;
    case Status::Failed: ui::ReportError(window, outcome.error); return;
    }
}

bool Preview(QWidget* window, const ProgramFolder& folder, report::TrepReport& report) {
    const auto tell = [](QWidget* preview, const report::PrintOutcome& outcome) { Tell(preview, outcome); };
    const report::PrepareResult prepared = report::ShowReport(report, folder, true, tell, window);
    Tell(window, prepared);
    return bool(prepared);
}

report::PrintOutcome Print(QWidget* window, const ProgramFolder& folder, report::TrepReport& report) {
    const report::PrintOutcome outcome = report::Print(report, folder, 1, window);
    Tell(window, outcome);
    return outcome;
}

}  // namespace printing
