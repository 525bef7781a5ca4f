#pragma once
#include "print/engine/Model.h"
#include "print/engine/PrintChoices.h"
#include "print/printers/Printers.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace report {

// The print dialog: printer, pages, copies and the other choices of one print
// of `pageCount` pages. Choosing a printer in the list selects it for the run
// at once; the caller restores the previous one when the dialog is cancelled.
// "OK" with choices that select no page says so and leaves the dialog open.
// Its texts are written in English and shown through the program's
// translation (translations/velmora_it.ts).
class TfrmPrintDialog : public QDialog {
    Q_OBJECT
public:
    TfrmPrintDialog(QWidget* owner, const TrepPrintOptions& options, int currentPage, int pageCount);

    static constexpr const char* kNoPage = QT_TR_NOOP("No page in the range");

    // The printer chosen in the list, which the print goes to or nowhere.
    QString Printer() const;
    PrintChoices Choices() const;
    TDuplexMode Duplex() const;
    bool PrintToFile() const;
    // The settings chosen in "Properties..." for the selected printer.
    const PrinterSettings& Settings() const { return settings_; }

    QComboBox* cbPrinters;
    QLabel* lblWhere;
    QPushButton* btnProperties;
    QCheckBox* chkPrintToFile;
    QRadioButton* optAll;
    QRadioButton* optCurrent;
    QRadioButton* optPages;
    QLineEdit* txtPages;
    QSpinBox* txtCopies;
    QCheckBox* chkCollate;
    QComboBox* cbWhich;
    QComboBox* cbOrder;
    QComboBox* cbDuplex;
    QComboBox* cbPrintMode;
    QComboBox* cbPrintOnSheet;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PrinterChanged();
    void ShowProperties();
    int currentPage_;
    int pageCount_;
    PrinterSettings settings_;
};

// "Properties...": the selected printer's own options as its driver offers
// them, one list each (named by the option's keyword), showing the choice
// made for this print or else the printer's default.
class TfrmPrinterProperties : public QDialog {
    Q_OBJECT
public:
    TfrmPrinterProperties(QWidget* owner, const std::vector<PrinterOption>& options, const PrinterSettings& settings);

    // The choices that differ from the printer's defaults.
    PrinterSettings Settings() const;

    std::vector<QComboBox*> lists;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private:
    std::vector<PrinterOption> options_;
};

}  // namespace report
