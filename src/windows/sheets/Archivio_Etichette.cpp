#include "windows/sheets/Archivio_Etichette.h"

#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "ui/EnterCycle.h"
#include "ui/Gradient.h"
#include "ui/TextBox.h"
#include "ui/Messages.h"
#include "ui/ModalRunner.h"
#include "ui/PictureButton.h"
#include "ui/StatusLine.h"
#include "ui/WorkArea.h"
#include "windows/archive/ArchiveCommands.h"
#include "windows/archive/ImportaIndirizzi.h"
#include "windows/sheets/Calibrazione.h"
#include "windows/sheets/Anteprima_Etichette.h"
#include "windows/sheets/Stampa_Etichette.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace label_grid;

namespace {

constexpr QSize kContent(1110, 640);
constexpr QSize kWideIcon(144, 48);
constexpr int kSlotsTop = 232;

}  // namespace

TfrmArchivio_Etichette::TfrmArchivio_Etichette(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora - Rarudozu Varedorur"), Frame::Sizeable, QSize(1200, 820)), app_(app) {
    const ui::WorkArea area =
        ui::MakeWorkArea(this, kContent, QStringLiteral("Pronto per archiviare una nuova scheda..."));
    panInfo = area.panInfo;
    BuildCommandBar(area);

    auto* heading = new ui::Picture(QStringLiteral("imgTitolo"), QStringLiteral("stampa_etichette_titolo"),
                                    QSize(kContent.width(), 40), area.content);
    heading->move(0, 76);
    auto* panel = new ui::Gradient(QStringLiteral("shpIstruzioni"), ui::colour::kWhite, ui::colour::kWhite,
                                   area.content);
    panel->setGeometry(0, 124, kContent.width(), 98);
    area.status->AddBackground(panel);
    auto* icon = new ui::Picture(QStringLiteral("icoIstruzioni"), QStringLiteral("informazioni"), QSize(40, 40), panel);
    icon->move(12, 28);
    auto* text = new ui::Picture(QStringLiteral("imgIstruzioni"), QStringLiteral("istruzioni_etichette"),
                                 QSize(1040, 90), panel);
    text->move(64, 4);

    BuildSlots(area.content);
    for (int slot = 1; slot <= kSlots; ++slot) {
        area.status->AddBackground(txtNome(slot)->parentWidget());
        area.status->AddCommand(impIndirizzo(slot), QStringLiteral("Importa etichetta da archivio dati."));
    }

    // The hidden line labels, with their design texts until the window is first shown.
    auto* panMemory = new QWidget(this);
    panMemory->setObjectName(QStringLiteral("panMemory"));
    panMemory->hide();
    for (int slot = 1; slot <= kSlots; ++slot) {
        for (int line = 1; line <= kLines; ++line) {
            auto* label = new QLabel(QStringLiteral("RIGO ") + TwoDigits(line), panMemory);
            label->setObjectName(LineName(line, slot));
            label->setAccessibleName(QStringLiteral("Etichetta %1, riga %2").arg(slot).arg(line));
            lines_[slot - 1][line - 1] = label;
        }
    }

    new ui::EnterCycle({names_.begin(), names_.end()}, true, this);
    for (int slot = 2; slot <= kSlots; ++slot) setTabOrder(txtNome(slot - 1), txtNome(slot));

    paging_ = std::make_unique<RecordPaging<SheetRecord>>(
        this, app_.Folder(), lblPosizione, QStringLiteral("Pagina"), [this](const SheetRecord& page) { Fill(page); },
        [this] { return PageOnScreen(); });
}

TfrmArchivio_Etichette::~TfrmArchivio_Etichette() = default;

void TfrmArchivio_Etichette::BuildCommandBar(const ui::WorkArea& area) {
    using W = TfrmArchivio_Etichette;
    lblPosizione = ui::BuildCommandBar(
        area,
        {
            {archive_commands::Nuovo(*this), archive_commands::Salva(*this)},
            {ui::Command{cmdAnteprima, "cmdAnteprima", "anteprima_larga", kWideIcon,
                         ui::Call(this, &W::cmdAnteprimaClick),
                         "Visualizza l'anteprima di stampa della pagina delle etichette."}},
            {ui::Command{cmdStampa, "cmdStampa", "stampa", kWideIcon, ui::Call(this, &W::cmdStampaClick),
                         "Stampa la pagina delle etichette."}},
            archive_commands::Paging(*this),
            {archive_commands::Guida(*this), archive_commands::Esci(*this)},
            {ui::Command{cmdCalibra, "cmdCalibra", "calibra", archive_commands::kIcon, ui::Call(this, &W::cmdCalibraClick),
                         "Calibra la stampante per i fogli di etichette."}},
        });
    // The shared commands' status sentences speak of records; a screen reader
    // reads them, name and description, by what they do here, to pages.
    const std::pair<ui::PictureButton*, const char*> names[] = {
        {cmdNuovo, "Prepara la schermata per una nuova pagina di etichette."},
        {cmdSalva, "Salva la pagina corrente."},
        {cmdPrimo, "Visualizza la prima pagina in archivio."},
        {cmdIndietro, "Visualizza la pagina precedente in archivio."},
        {cmdAvanti, "Visualizza la pagina successiva in archivio."},
        {cmdUltimo, "Visualizza l'ultima pagina in archivio."},
    };
    for (const auto& [command, name] : names) {
        command->setAccessibleName(QString::fromUtf8(name));
        command->setAccessibleDescription(QString::fromUtf8(name));
    }
}

void TfrmArchivio_Etichette::BuildSlots(QWidget* content) {
    // The slots stand in the rows and columns of the sheet.
    for (int slot = 1; slot <= kSlots; ++slot) {
        auto* background = new ui::Gradient(QStringLiteral("bkgIndirizzo_") + TwoDigits(slot),
                                            ui::colour::kLightGrey, ui::colour::kLightGrey, content);
        background->SetOutline(ui::colour::kYellow);
        background->setGeometry((Column(slot) - 1) * 375, kSlotsTop + (Row(slot) - 1) * 51, 360, 46);

        auto* name = new QLineEdit(background);
        name->setObjectName(QStringLiteral("txtNome") + SlotSuffix(slot));
        name->setReadOnly(true);
        name->setMaxLength(250);
        name->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
        name->setGeometry(6, 6, 306, 34);
        name->installEventFilter(this);
        name->setAccessibleName(QStringLiteral("Etichetta %1").arg(slot));
        names_[slot - 1] = name;

        auto* arrow = new ui::PictureButton(QStringLiteral("impIndirizzo") + SlotSuffix(slot),
                                            QStringLiteral("importa"), QSize(34, 34), background);
        arrow->move(318, 6);
        arrow->setAccessibleName(QStringLiteral("Importa nell'etichetta %1").arg(slot));
        connect(arrow, &ui::PictureButton::clicked, this, [this, slot] { impIndirizzoClick(slot); });
        imports_[slot - 1] = arrow;
    }
}

bool TfrmArchivio_Etichette::eventFilter(QObject* watched, QEvent* event) {
    // Backspace or Delete in a name box empties that slot.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            for (int slot = 1; slot <= kSlots; ++slot) {
                if (watched == txtNome(slot)) {
                    ClearSlot(slot);
                    return true;
                }
            }
        }
    }
    return ui::Window::eventFilter(watched, event);
}

void TfrmArchivio_Etichette::ClearSlot(int slot) {
    txtNome(slot)->clear();
    for (int line = 1; line <= kLines; ++line) txtRigo(line, slot)->clear();
}

void TfrmArchivio_Etichette::Fill(const SheetRecord& page) {
    const label_sheet::Lines lines = label_sheet::PageLines(page);
    for (int slot = 1; slot <= kSlots; ++slot) {
        ui::ShowText(txtNome(slot), DecodeShortText(page.field[SheetRecord::NameField(slot)]));
        for (int line = 1; line <= kLines; ++line) txtRigo(line, slot)->setText(lines[slot - 1][line - 1]);
    }
}

label_sheet::Lines TfrmArchivio_Etichette::LinesOnScreen() const {
    label_sheet::Lines lines;
    for (int slot = 1; slot <= kSlots; ++slot)
        for (int line = 1; line <= kLines; ++line) lines[slot - 1][line - 1] = txtRigo(line, slot)->text();
    return lines;
}

SheetRecord TfrmArchivio_Etichette::PageOnScreen() const {
    SheetRecord page;
    for (int slot = 1; slot <= kSlots; ++slot) {
        page.field[SheetRecord::NameField(slot)] = EncodeShortText(txtNome(slot)->text());
        for (int line = 1; line <= kLines; ++line)
            page.field[SheetRecord::LineField(line, slot)] = EncodeShortText(txtRigo(line, slot)->text());
    }
    return page;
}

void TfrmArchivio_Etichette::FormShow() { cmdNuovoClick(); }

void TfrmArchivio_Etichette::FormClose() { app_.HandOver(*this, app_.frmAvvio()); }

void TfrmArchivio_Etichette::cmdNuovoClick() {
    for (int slot = 1; slot <= kSlots; ++slot) ClearSlot(slot);
    lblPosizione->clear();
    txtNome(1)->setFocus();
}

void TfrmArchivio_Etichette::cmdSalvaClick() {
    if (IsBlank(txtNome(1)->text())) {
        ui::ShowMessage(this,
                        QStringLiteral("Attenzione: per salvare la scheda è necessario importare i dati della "
                                       "prima etichetta."),
                        ui::Kind::Warning);
        txtNome(1)->setFocus();
        return;
    }
    paging_->Save();
}

void TfrmArchivio_Etichette::cmdPrimoClick() { paging_->First(); }
void TfrmArchivio_Etichette::cmdUltimoClick() { paging_->Last(); }
void TfrmArchivio_Etichette::cmdAvantiClick() { paging_->Next(); }
void TfrmArchivio_Etichette::cmdIndietroClick() { paging_->Previous(); }

void TfrmArchivio_Etichette::cmdAnteprimaClick() { ui::OpenDialog<TfrmAnteprima_Etichette>(app_, this); }

void TfrmArchivio_Etichette::cmdStampaClick() { ui::OpenDialog<TfrmStampa_Etichette>(app_, this); }

void TfrmArchivio_Etichette::impIndirizzoClick(int slot) {
    TfrmImportaIndirizzi dialog(app_, this);
    dialog.lblMemory->setText(SlotKey(slot));
    // The slot is read with what it now holds, and F6 comes back to it.
    if (ui::RunModal(dialog) == QDialog::Accepted) txtNome(slot)->setFocus(Qt::OtherFocusReason);
}

void TfrmArchivio_Etichette::cmdGuidaClick() {
    ShowHelp(this, app_.Folder(), QStringLiteral("App Rarudozu Varedorur"), HelpParagraphs());
}

void TfrmArchivio_Etichette::cmdCalibraClick() { ui::OpenDialog<TfrmCalibrazione>(app_.Folder(), this); }

void TfrmArchivio_Etichette::cmdEsciClick() { close(); }

QStringList TfrmArchivio_Etichette::HelpParagraphs() {
    return {
        QStringLiteral("L'app Rarudozu Varedorur serve a stampare su fogli A4 i testi conservati nell'archivio "
                       "dati. Si possono comporre, stampare e salvare quante pagine si desidera, ciascuna con 24 "
                       "etichette."),
        QStringLiteral("Per preparare una nuova pagina premere il pulsante Nuovo (il foglio bianco), poi riempire "
                       "le 24 etichette del foglio importando i testi dall'archivio con le frecce verdi a destra "
                       "dei 24 campi, una per etichetta."),
        QStringLiteral("La pagina si salva con il pulsante del dischetto; le frecce mostrano la pagina precedente "
                       "o successiva, oppure portano alla prima o all'ultima pagina dell'archivio."),
        QStringLiteral("Il pulsante Anteprima permette di controllare prima della stampa che i testi importati "
                       "siano quelli giusti; il pulsante Stampa stampa direttamente: indicare il numero di copie e "
                       "fare clic su OK. Le etichette stampate su carta comune o adesiva si possono poi ritagliare "
                       "e usare come serve."),
        QStringLiteral("Per cambiare i testi si apre la scheda nell'archivio dati, si apportano le modifiche e si "
                       "preme Salva."),
        QStringLiteral("Se la stampante sposta o allunga un poco la pagina e il testo non cade al centro delle "
                       "etichette, l'ultimo pulsante (il mirino) apre la calibrazione: si stampa un foglio di prova, "
                       "si misura di quanto sono spostate le croci e si salvano le misure per quella stampante, che "
                       "da allora le applica a ogni foglio di etichette."),
    };
}
