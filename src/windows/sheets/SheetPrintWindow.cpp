#include "windows/sheets/SheetPrintWindow.h"

#include "windows/app/Printing.h"
#include "core/folder/IniFile.h"
#include "ui/Gradient.h"
#include "ui/PictureButton.h"

#include <QPushButton>

namespace {

constexpr QSize kClient(560, 340);

}  // namespace

SheetPrintWindow::SheetPrintWindow(QWidget* owner, const Kind& kind, const ProgramFolder& folder, Source source)
    : ui::Dialog(owner, QString::fromUtf8(kind.caption), kClient, ui::Centre::Owner),
      repDocumento(label_sheet::Build(kind.reportName)),
      kind_(kind),
      folder_(folder),
      source_(std::move(source)) {
    // Every label sheet is drawn through the calibration of the printer it
    // goes to; an unreadable settings file prints the sheet as designed.
    repDocumento->PrintOptions.Calibration = [&folder](const QString& printer) {
        try {
            return calibration::Read(folder, printer);
        } catch (const IniError&) {
            return calibration::Calibration();
        }
    };
    auto* background = new ui::Gradient(QStringLiteral("bkgSfondo"), ui::colour::kSteelBlue, ui::colour::kWhite, this);
    background->setGeometry(rect());
    auto* shpSfondo = new ui::Gradient(QStringLiteral("shpSfondo"), ui::colour::kWhite, ui::colour::kWhite, this);
    shpSfondo->setGeometry(20, 20, 520, 250);
    if (kind.preview) {
        (new ui::Picture(QStringLiteral("icoInf01"), QStringLiteral("anteprima_info1"), QSize(340, 70), shpSfondo))
            ->move(16, 16);
        auto* shpSepara =
            new ui::Gradient(QStringLiteral("shpSepara"), ui::colour::kSteelBlue, ui::colour::kWhite, shpSfondo);
        shpSepara->setGeometry(16, 100, 340, 3);
        (new ui::Picture(QStringLiteral("icoInf02"), QStringLiteral("anteprima_info2"), QSize(340, 50), shpSfondo))
            ->move(16, 116);
        (new ui::Picture(QStringLiteral("imgSezione04"), QStringLiteral("stampante_lente"), QSize(64, 64), shpSfondo))
            ->move(16, 176);
        (new ui::Picture(QStringLiteral("imgLogo01"), QStringLiteral("lettore"), QSize(120, 144), shpSfondo))
            ->move(384, 60);
    } else {
        (new ui::Picture(QStringLiteral("icoInf01"), QStringLiteral("stampa_info"), QSize(520, 240), shpSfondo))
            ->move(0, 5);
    }
    btnAnnulla = ui::NewButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), QRect(20, 286, 150, 38), this);
    btnStampa = ui::NewButton(QStringLiteral("btnStampa"), QString::fromUtf8(kind.button), QRect(390, 286, 150, 38), this);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStampa, &QPushButton::clicked, this, &SheetPrintWindow::btnStampaClick);
}

SheetPrintWindow::~SheetPrintWindow() = default;

void SheetPrintWindow::btnStampaClick() {
    // After an error of the report layer or of the printer the window stays
    // open; a refusal or a cancelled print closes it like a print.
    const report::PrepareResult prepared = label_sheet::FillAndPrepare(*repDocumento, source_());
    if (!prepared) return printing::Tell(this, prepared);
    if (kind_.preview) {
        if (!printing::Preview(this, folder_, *repDocumento)) return;
    } else if (printing::Print(this, folder_, *repDocumento).status == report::PrintOutcome::Status::Failed) {
        return;
    }
    accept();
}
