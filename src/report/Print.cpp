#include "app/ui/Messages.h"
#include "app/ui/ModalRunner.h"
#include "report/Model.h"
#include "report/PrintDialog.h"
#include "report/Prepared.h"
#include "report/Printers.h"

#include <QFileDialog>

namespace report {
namespace {

// Asks for the file a print to file goes into; empty when cancelled.
QString AskPrintFile(QWidget* owner) {
    QFileDialog dialog(owner, QStringLiteral("Print to file"), QString(), QStringLiteral("Printer file (*.prn)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("prn"));
    if (ui::RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString path = dialog.selectedFiles().first();
    if (!path.endsWith(QStringLiteral(".prn"), Qt::CaseInsensitive)) path += QStringLiteral(".prn");
    return path;
}

}  // namespace

bool TrepReport::Print(int currentPage) {
    const QStringList installed = Printers().Printers();
    if (installed.isEmpty()) {
        ui::ShowMessage(nullptr, QStringLiteral("You have no printers installed"), ui::Kind::Error);
        return false;
    }
    SelectPrinter(PrintOptions.Printer);
    const QString before = SelectedPrinter();

    PrintChoices choices;
    choices.range = PrintOptions.PageNumbers.trimmed().isEmpty() ? PrintChoices::Range::All
                                                                 : PrintChoices::Range::Pages;
    choices.pages = PrintOptions.PageNumbers;
    choices.copies = PrintOptions.Copies;
    choices.collate = PrintOptions.Collate;
    QString outputFile;
    if (PrintOptions.ShowDialog) {
        TfrmPrintDialog dialog(nullptr, PrintOptions, currentPage);
        const bool accepted = ui::RunModal(dialog) == QDialog::Accepted;
        if (accepted && dialog.PrintToFile()) outputFile = AskPrintFile(nullptr);
        if (!accepted || (dialog.PrintToFile() && outputFile.isEmpty())) {
            SelectPrinter(before);
            return false;
        }
        choices = dialog.Choices();
        PrintOptions.Duplex = dialog.Duplex();
    }

    PrintJob job;
    job.printer = SelectedPrinter();
    job.outputFile = outputFile;
    job.title = ReportOptions.Name;
    job.duplex = PrintOptions.Duplex;
    for (int index : PagesToPrint(choices, int(prepared_.size()))) job.pages.push_back(&prepared_[index]);
    if (!Printers().IsUsable(job.printer)) {
        ui::ShowMessage(nullptr, QStringLiteral("Printer selected is not valid"), ui::Kind::Error);
        return false;
    }
    if (job.pages.empty()) return true;
    Printers().Print(job);
    return true;
}

}  // namespace report
