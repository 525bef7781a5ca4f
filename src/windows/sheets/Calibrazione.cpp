#include "windows/sheets/Calibrazione.h"

#include "core/folder/IniFile.h"
#include "core/folder/ProgramFolder.h"
#include "print/printers/Printers.h"
#include "print/templates/CalibrationSheet.h"
#include "ui/EnterCycle.h"
#include "ui/FocusColour.h"
#include "ui/Gradient.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "ui/StatusLine.h"
#include "windows/app/Printing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr QSize kClient(560, 470);

// The captions of the four boxes and their units, in the order of the values.
struct Row {
    const char* name;
    const char* caption;
    const char* unit;
};
constexpr Row kRows[] = {
    {"txtSpostamentoX", "Spostamento orizzontale:", "mm"},
    {"txtSpostamentoY", "Spostamento verticale:", "mm"},
    {"txtScalaX", "Scala orizzontale:", "%"},
    {"txtScalaY", "Scala verticale:", "%"},
};

}  // namespace

TfrmCalibrazione::TfrmCalibrazione(const ProgramFolder& folder, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Calibrazione della stampante"), kClient, ui::Centre::Owner), folder_(folder) {
    auto* background = new ui::Gradient(QStringLiteral("bkgSfondo"), ui::colour::kWhite, ui::colour::kSoftBlue, this);
    background->setGeometry(rect());

    lblIstruzioni = new QLabel(
        QStringLiteral("Ogni stampante sposta un poco la pagina. Stampare il foglio di prova, appoggiarlo controluce "
                       "su un foglio di etichette (oppure stamparlo direttamente su un foglio di etichette) e "
                       "misurare di quanti millimetri il centro dell'etichetta vera sta a destra e in basso rispetto "
                       "alla croce. Inserire qui le misure, salvarle e stampare un altro foglio di prova per "
                       "controllare: da allora ogni foglio di etichette stampato su questa stampante ne tiene conto."),
        this);
    lblIstruzioni->setObjectName(QStringLiteral("lblIstruzioni"));
    lblIstruzioni->setWordWrap(true);
    lblIstruzioni->setFont(QFont(QStringLiteral("Verdana"), 9));
    lblIstruzioni->setStyleSheet(QStringLiteral("background: transparent;"));
    lblIstruzioni->setGeometry(20, 12, 520, 120);

    auto* colour = new ui::FocusColour(this);
    ui::NewCaption(QStringLiteral("Stampante:"), this, QPoint(20, 152));
    cboStampante = new QComboBox(this);
    // Read with its choice: Orca reads a list that its caption labels by the
    // caption alone, and one without by the printer chosen; the caption
    // follows as its description.
    cboStampante->setAccessibleDescription(QStringLiteral("Stampante"));
    cboStampante->setObjectName(QStringLiteral("cboStampante"));
    cboStampante->setFont(QFont(QStringLiteral("Verdana"), 10));
    cboStampante->setGeometry(250, 144, 290, 32);

    std::array<QLineEdit*, 4> boxes{};
    for (int i = 0; i < 4; ++i) {
        const int top = 190 + 44 * i;
        QLabel* caption = ui::NewCaption(QString::fromUtf8(kRows[i].caption), this, QPoint(20, top + 8));
        auto* box = new QLineEdit(this);
        caption->setBuddy(box);
        box->setObjectName(QLatin1String(kRows[i].name));
        box->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
        box->setAlignment(Qt::AlignRight);
        box->setMaxLength(12);
        box->setGeometry(250, top, 120, 34);
        colour->Add(box, ui::FocusColour::kWhite);
        ui::NewCaption(QString::fromUtf8(kRows[i].unit), this, QPoint(380, top + 8));
        boxes[std::size_t(i)] = box;
    }
    txtSpostamentoX = boxes[0], txtSpostamentoY = boxes[1], txtScalaX = boxes[2], txtScalaY = boxes[3];

    auto* shpInfo = new ui::Gradient(QStringLiteral("shpInfo"), ui::colour::kSteelBlue, ui::colour::kSteelBlue, this);
    shpInfo->setGeometry(0, 370, kClient.width(), 30);
    panInfo = new QLabel(shpInfo);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    panInfo->setFont(QFont(QStringLiteral("Tahoma"), 10));
    panInfo->setGeometry(10, 0, kClient.width() - 20, 30);

    btnAnnulla = ui::NewButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), QRect(20, 416, 150, 38), this);
    btnProva = ui::NewButton(QStringLiteral("btnProva"), QStringLiteral("Foglio di prova"), QRect(190, 416, 180, 38),
                             this);
    btnSalva = ui::NewButton(QStringLiteral("btnSalva"), QStringLiteral("Salva"), QRect(390, 416, 150, 38), this);

    auto* status = new ui::StatusLine(panInfo, this);
    status->AddCommand(btnAnnulla, QStringLiteral("Chiude la finestra senza salvare."));
    status->AddCommand(btnProva, QStringLiteral("Stampa il foglio di prova con i valori come stanno."));
    status->AddCommand(btnSalva, QStringLiteral("Salva i valori per la stampante scelta e chiude la finestra."));
    for (QWidget* widget : {static_cast<QWidget*>(this), static_cast<QWidget*>(background), static_cast<QWidget*>(shpInfo),
                            static_cast<QWidget*>(panInfo), static_cast<QWidget*>(lblIstruzioni)})
        status->AddBackground(widget);

    new ui::EnterCycle({cboStampante, txtSpostamentoX, txtSpostamentoY, txtScalaX, txtScalaY}, true, this);
    QWidget::setTabOrder(cboStampante, txtSpostamentoX);
    QWidget::setTabOrder(txtSpostamentoX, txtSpostamentoY);
    QWidget::setTabOrder(txtSpostamentoY, txtScalaX);
    QWidget::setTabOrder(txtScalaX, txtScalaY);
    QWidget::setTabOrder(txtScalaY, btnAnnulla);
    QWidget::setTabOrder(btnAnnulla, btnProva);
    QWidget::setTabOrder(btnProva, btnSalva);

    using W = TfrmCalibrazione;
    connect(cboStampante, &QComboBox::currentIndexChanged, this, &W::cboStampanteChange);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnProva, &QPushButton::clicked, this, &W::btnProvaClick);
    connect(btnSalva, &QPushButton::clicked, this, &W::btnSalvaClick);
}

TfrmCalibrazione::~TfrmCalibrazione() = default;

void TfrmCalibrazione::FormShow() {
    // The printers of the system, the default first.
    QStringList printers = report::Printers().Names();
    const QString preferred = report::Printers().DefaultPrinter();
    if (printers.removeOne(preferred)) printers.prepend(preferred);
    const QSignalBlocker quiet(cboStampante);
    cboStampante->clear();
    cboStampante->addItems(printers);
    cboStampanteChange();
    cboStampante->setFocus();
}

void TfrmCalibrazione::cboStampanteChange() {
    calibration::Calibration stored;
    try {
        if (cboStampante->count() > 0) stored = calibration::Read(folder_, cboStampante->currentText());
    } catch (const IniError& error) {
        ui::ReportError(this, QString::fromStdString(error.what()));
    }
    const int values[] = {stored.offsetX, stored.offsetY, stored.scaleX, stored.scaleY};
    for (int i = 0; i < 4; ++i) Boxes()[std::size_t(i)]->setText(calibration::Shown(values[i]));
}

bool TfrmCalibrazione::HasPrinter() {
    if (cboStampante->count() > 0) return true;
    printing::Tell(this, report::PrintOutcome::Of(report::PrintOutcome::Status::NoPrinters));
    return false;
}

std::optional<calibration::Calibration> TfrmCalibrazione::Values() {
    if (!HasPrinter()) return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        QLineEdit* box = Boxes()[std::size_t(i)];
        const calibration::ParsedValue value = calibration::ParseValue(calibration::Value(i), box->text());
        if (!value.tenths) {
            ui::ShowMessage(this,
                            QStringLiteral("Attenzione: valore non valido per \"%1\"\r\n\r\n%2.")
                                .arg(QString::fromUtf8(kRows[i].caption).chopped(1), value.error),
                            ui::Kind::Warning, ui::Buttons::Ok);
            box->setFocus();
            box->selectAll();
            return std::nullopt;
        }
        values[i] = *value.tenths;
    }
    return calibration::Calibration{values[0], values[1], values[2], values[3]};
}

void TfrmCalibrazione::btnProvaClick() {
    const std::optional<calibration::Calibration> values = Values();
    if (!values) return;
    const QString printer = cboStampante->currentText();
    auto sheet = calibration_sheet::Build();
    const report::PrepareResult prepared =
        calibration_sheet::FillAndPrepare(*sheet, calibration_sheet::Caption(printer, *values));
    if (!prepared) return printing::Tell(this, prepared);
    sheet->PrintOptions.Calibration = [c = *values](const QString&) { return c; };
    const report::PrintOutcome outcome = report::PrintPrepared(*sheet, printer, report::PrintChoices());
    if (!outcome.Printed()) return printing::Tell(this, outcome);
    ui::ShowMessage(this, QStringLiteral("Il foglio di prova è stato mandato alla stampante %1.").arg(printer),
                    ui::Kind::Information, ui::Buttons::Ok);
}

void TfrmCalibrazione::btnSalvaClick() {
    const std::optional<calibration::Calibration> values = Values();
    if (!values) return;
    try {
        calibration::Write(folder_, cboStampante->currentText(), *values);
    } catch (const IniError& error) {
        return ui::ReportError(this, QString::fromStdString(error.what()));
    }
    accept();
}
