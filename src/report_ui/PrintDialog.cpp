#include "report_ui/PrintDialog.h"

#include "ui/Messages.h"
#include "ui/ModalRunner.h"
#include "ui/WindowFrame.h"
#include "print/printers/Printers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace report {
namespace {

// Lays out a dialog of fixed size: its controls above the buttons "OK" (the
// default) and "Cancel" at the bottom right.
void PlaceAboveOkCancel(QDialog& dialog, QLayout* controls, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton(TfrmPrintDialog::tr("OK"));
    ok->setDefault(true);
    cancel = new QPushButton(TfrmPrintDialog::tr("Cancel"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(controls);
    layout->addLayout(buttons);
    ui::KeepOnScreen(dialog);
}

}  // namespace

TfrmPrintDialog::TfrmPrintDialog(QWidget* owner, const TrepPrintOptions& options, int currentPage, int pageCount)
    : QDialog(owner, Qt::Dialog | ui::kTitleOnly), currentPage_(currentPage), pageCount_(pageCount) {
    setWindowTitle(tr("Print"));

    auto* printer = new QGroupBox(tr("Printer"));
    auto* printerGrid = new QGridLayout(printer);
    cbPrinters = new QComboBox;
    cbPrinters->addItems(Printers().Names());
    cbPrinters->setCurrentIndex(cbPrinters->findText(SelectedPrinter()));
    lblWhere = new QLabel;
    btnProperties = new QPushButton(tr("Properties..."));
    chkPrintToFile = new QCheckBox(tr("Print to file"));
    printerGrid->addWidget(new QLabel(tr("Name:")), 0, 0);
    printerGrid->addWidget(cbPrinters, 0, 1);
    printerGrid->addWidget(btnProperties, 0, 2);
    printerGrid->addWidget(new QLabel(tr("Where:")), 1, 0);
    printerGrid->addWidget(lblWhere, 1, 1);
    printerGrid->addWidget(chkPrintToFile, 1, 2);

    auto* pages = new QGroupBox(tr("Pages"));
    auto* pagesLayout = new QGridLayout(pages);
    optAll = new QRadioButton(tr("All"));
    optCurrent = new QRadioButton(tr("Current page"));
    optPages = new QRadioButton(tr("Pages:"));
    txtPages = new QLineEdit;
    auto* note = new QLabel(tr("Enter page numbers and/or page ranges, separated by commas. "
                              "For example, 1,3,5-12"));
    note->setWordWrap(true);
    pagesLayout->addWidget(optAll, 0, 0);
    pagesLayout->addWidget(optCurrent, 1, 0);
    pagesLayout->addWidget(optPages, 2, 0);
    pagesLayout->addWidget(txtPages, 2, 1);
    pagesLayout->addWidget(note, 3, 0, 1, 2);
    const bool someNumbers = !options.PageNumbers.trimmed().isEmpty();
    (someNumbers ? optPages : optAll)->setChecked(true);
    txtPages->setText(options.PageNumbers);
    txtPages->installEventFilter(this);
    connect(txtPages, &QLineEdit::textEdited, optPages, [this] { optPages->setChecked(true); });

    auto* copies = new QGroupBox(tr("Copies"));
    auto* copiesLayout = new QFormLayout(copies);
    txtCopies = new QSpinBox;
    txtCopies->setRange(1, 9999);
    txtCopies->setValue(std::max(options.Copies, 1));
    chkCollate = new QCheckBox(tr("Collate"));
    chkCollate->setChecked(options.Collate);
    copiesLayout->addRow(tr("Number of copies"), txtCopies);
    copiesLayout->addRow(chkCollate);

    auto* other = new QGroupBox(tr("Other"));
    auto* otherLayout = new QFormLayout(other);
    cbWhich = new QComboBox;
    cbWhich->addItems({tr("All pages"), tr("Odd pages"), tr("Even pages")});
    cbOrder = new QComboBox;
    cbOrder->addItems({tr("Direct (1-9)"), tr("Reverse (9-1)")});
    cbDuplex = new QComboBox;
    cbDuplex->addItems({tr("Default"), tr("Vertical"), tr("Horizontal"), tr("Simplex")});
    cbDuplex->setCurrentIndex(options.Duplex);
    otherLayout->addRow(tr("Print"), cbWhich);
    otherLayout->addRow(tr("Order"), cbOrder);
    otherLayout->addRow(tr("Duplex"), cbDuplex);

    auto* mode = new QGroupBox(tr("Print mode"));
    auto* modeLayout = new QFormLayout(mode);
    cbPrintMode = new QComboBox;
    cbPrintMode->addItems({tr("Default"), tr("Split big pages"), tr("Join small pages"), tr("Scale")});
    cbPrintOnSheet = new QComboBox;
    cbPrintOnSheet->addItems({QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A5"), tr("Letter"),
                              tr("Legal")});
    modeLayout->addRow(cbPrintMode);
    modeLayout->addRow(tr("Print on sheet"), cbPrintOnSheet);
    mode->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->addWidget(printer, 0, 0, 1, 2);
    grid->addWidget(pages, 1, 0);
    grid->addWidget(copies, 1, 1);
    grid->addWidget(other, 2, 0);
    grid->addWidget(mode, 2, 1);
    PlaceAboveOkCancel(*this, grid, btnOK, btnCancel);

    connect(cbPrinters, &QComboBox::currentTextChanged, this, &TfrmPrintDialog::PrinterChanged);
    connect(btnProperties, &QPushButton::clicked, this, &TfrmPrintDialog::ShowProperties);
    PrinterChanged();
}

void TfrmPrintDialog::PrinterChanged() {
    const QString name = cbPrinters->currentText();
    SelectPrinter(name);
    settings_.clear();
    lblWhere->setText(name.isEmpty() ? QString() : Printers().Port(name));
}

void TfrmPrintDialog::ShowProperties() {
    TfrmPrinterProperties dialog(this, Printers().Options(cbPrinters->currentText()), settings_);
    if (ui::RunModal(dialog) == QDialog::Accepted) settings_ = dialog.Settings();
}

PrintChoices TfrmPrintDialog::Choices() const {
    PrintChoices choices;
    choices.range = optCurrent->isChecked() ? PrintChoices::Range::Current
                    : optPages->isChecked() ? PrintChoices::Range::Pages
                                            : PrintChoices::Range::All;
    choices.pages = txtPages->text();
    choices.current = currentPage_;
    choices.which = PrintChoices::Which(cbWhich->currentIndex());
    choices.reverse = cbOrder->currentIndex() == 1;
    choices.copies = txtCopies->value();
    choices.collate = chkCollate->isChecked();
    return choices;
}

QString TfrmPrintDialog::Printer() const { return cbPrinters->currentText(); }

void TfrmPrintDialog::accept() {
    if (PageOrder(Choices(), pageCount_).Count() == 0) {
        ui::ShowMessage(this, tr(kNoPage), ui::Kind::Warning, ui::Buttons::Ok);
        return;
    }
    QDialog::accept();
}

TDuplexMode TfrmPrintDialog::Duplex() const { return TDuplexMode(cbDuplex->currentIndex()); }
bool TfrmPrintDialog::PrintToFile() const { return chkPrintToFile->isChecked(); }

void TfrmPrintDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) ui::CentreWindow(*this, ui::Centre::Screen, nullptr);
    QDialog::showEvent(event);
}

bool TfrmPrintDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPages && event->type() == QEvent::FocusIn) optPages->setChecked(true);
    return QDialog::eventFilter(watched, event);
}

TfrmPrinterProperties::TfrmPrinterProperties(QWidget* owner, const std::vector<PrinterOption>& options,
                                             const PrinterSettings& settings)
    : QDialog(owner, Qt::Dialog | ui::kTitleOnly), options_(options) {
    setWindowTitle(tr("Properties"));
    auto* form = new QFormLayout;
    for (const PrinterOption& option : options_) {
        auto* list = new QComboBox;
        list->setObjectName(QString::fromUtf8(option.keyword));
        for (const PrinterOption::Choice& choice : option.choices) list->addItem(choice.text, choice.keyword);
        const auto chosen = settings.find(option.keyword);
        list->setCurrentIndex(list->findData(chosen != settings.end() ? chosen->second : option.defaultChoice));
        form->addRow(option.text, list);
        lists.push_back(list);
    }
    PlaceAboveOkCancel(*this, form, btnOK, btnCancel);
}

PrinterSettings TfrmPrinterProperties::Settings() const {
    PrinterSettings settings;
    for (std::size_t i = 0; i < options_.size(); ++i) {
        const QByteArray choice = lists[i]->currentData().toByteArray();
        if (choice != options_[i].defaultChoice) settings[options_[i].keyword] = choice;
    }
    return settings;
}

}  // namespace report
