#include "report_ui/Print.h"

#include "core/folder/ProgramFolder.h"
#include "ui/Messages.h"
#include "ui/ModalRunner.h"
#include "report_ui/PrintDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace report {
namespace {

// The file a name chosen for a print to file stands for: the name itself when
// it ends in ".pdf" or ".prn" (the printer file the print dialog has always
// offered, still accepted), else the name with the chosen filter's ending.
QString OutputFile(const QString& chosen, const QString& suffix) {
    for (const QLatin1String ending : {QLatin1String(".pdf"), QLatin1String(".prn")})
        if (chosen.endsWith(ending, Qt::CaseInsensitive)) return chosen;
    return chosen + u'.' + suffix;
}

// The save dialog of a print to file, titled as the print dialog's check box.
// What is written is a PDF, so the file is offered as one first.
// Accepting a name checks the file that will be written, not the name as
// typed: a file of the program folder is refused, an existing file is
// replaced only when the user says so, and either way the dialog stays open
// for another name.
class PrintFileDialog : public QFileDialog {
public:
    PrintFileDialog(QWidget* owner, const ProgramFolder& folder)
        : QFileDialog(owner, TfrmPrintDialog::tr("Print to file"), QString(),
                      TfrmPrintDialog::tr("PDF file (*.pdf)") + QStringLiteral(";;") +
                          TfrmPrintDialog::tr("Printer file (*.prn)")),
          folder_(folder) {
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);
        setAcceptMode(QFileDialog::AcceptSave);
        setDefaultSuffix(QStringLiteral("pdf"));
        // The printer file's filter gives a bare name its own ending.
        connect(this, &QFileDialog::filterSelected, this, [this](const QString& filter) {
            setDefaultSuffix(filter.contains(QStringLiteral("*.prn")) ? QStringLiteral("prn") : QStringLiteral("pdf"));
        });
    }

    // The file to write; empty until a name is accepted.
    const QString& File() const { return file_; }

    void accept() override {
        const QStringList chosen = selectedFiles();
        // A folder, or nothing yet: the dialog moves into it or waits.
        if (chosen.isEmpty() || QFileInfo(chosen.first()).isDir()) return QFileDialog::accept();
        const QString file = OutputFile(chosen.first(), defaultSuffix());
        if (const QString refusal = folder_.ReplaceRefusal(file); !refusal.isEmpty()) {
            ui::ShowMessage(this, refusal, ui::Kind::Error, ui::Buttons::Ok);
            return;
        }
        if (QFileInfo::exists(file)) {
            // Qt's own question, in the language of Qt's dialogs.
            const QString question =
                QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                    .arg(QFileInfo(file).fileName());
            if (ui::ShowMessage(this, question, ui::Kind::Warning, ui::Buttons::YesNo) != ui::Answer::Yes) return;
        }
        file_ = file;
        QFileDialog::accept();
    }

private:
    const ProgramFolder& folder_;
    QString file_;
};

// Asks for the file a print to file goes into; empty when cancelled.
QString AskPrintFile(QWidget* owner, const ProgramFolder& folder) {
    PrintFileDialog dialog(owner, folder);
    return ui::RunModal(dialog) == QDialog::Accepted ? dialog.File() : QString();
}

}  // namespace

PrintOutcome Print(TrepReport& report, const ProgramFolder& folder, int currentPage, QWidget* owner) {
    if (!report.PrintOptions.ShowDialog) return PrintWithoutDialog(report);
    if (Printers().Names().isEmpty()) return PrintOutcome::Of(PrintOutcome::Status::NoPrinters);
    SelectPrinter(report.PrintOptions.Printer);
    const QString before = SelectedPrinter();

    TfrmPrintDialog dialog(owner, report.PrintOptions, currentPage, int(report.PreparedPages().size()));
    const bool accepted = ui::RunModal(dialog) == QDialog::Accepted;
    const QString outputFile = accepted && dialog.PrintToFile() ? AskPrintFile(owner, folder) : QString();
    if (!accepted || (dialog.PrintToFile() && outputFile.isEmpty())) {
        SelectPrinter(before);
        return PrintOutcome::Of(PrintOutcome::Status::Cancelled);
    }
    report.PrintOptions.Duplex = dialog.Duplex();
    return PrintPrepared(report, dialog.Printer(), dialog.Choices(), outputFile, dialog.Settings(),
                         outputFile.isEmpty() ? ReplacingFile::Guard() : folder.ReplaceGuard(outputFile));
}

}  // namespace report
