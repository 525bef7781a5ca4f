#include "report_ui/Print.h"

#include "ui/ModalRunner.h"
#include "report_ui/PrintDialog.h"

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

PrintOutcome Print(TrepReport& report, int currentPage, QWidget* owner) {
    if (!report.PrintOptions.ShowDialog) return PrintWithoutDialog(report);
    if (Printers().Names().isEmpty()) return PrintOutcome::Of(PrintOutcome::Status::NoPrinters);
    SelectPrinter(report.PrintOptions.Printer);
    const QString before = SelectedPrinter();

    TfrmPrintDialog dialog(owner, report.PrintOptions, currentPage);
    const bool accepted = ui::RunModal(dialog) == QDialog::Accepted;
    const QString outputFile = accepted && dialog.PrintToFile() ? AskPrintFile(owner) : QString();
    if (!accepted || (dialog.PrintToFile() && outputFile.isEmpty())) {
        SelectPrinter(before);
        return PrintOutcome::Of(PrintOutcome::Status::Cancelled);
    }
    report.PrintOptions.Duplex = dialog.Duplex();
    return PrintPrepared(report, dialog.Choices(), outputFile, dialog.Settings());
}

}  // namespace report
