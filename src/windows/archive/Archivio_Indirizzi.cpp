#include "windows/archive/Archivio_Indirizzi.h"

#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "ui/EnterCycle.h"
#include "ui/FocusColour.h"
#include "ui/Gradient.h"
#include "ui/TextBox.h"
#include "ui/Messages.h"
#include "ui/ModalRunner.h"
#include "ui/PictureButton.h"
#include "ui/StatusLine.h"
#include "ui/WorkArea.h"
#include "windows/archive/ArchiveBox.h"
#include "windows/archive/ArchiveCommands.h"
#include "windows/archive/AllegaCartella.h"
#include "windows/archive/ExpIndirizzi.h"
#include "core/archive/ImportCsv.h"
#include "windows/archive/StampaBusta.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "windows/sheets/Anteprima_Etichetta.h"
#include "windows/shell/Avvio.h"
#include "windows/shell/Guida.h"

#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

// Wide enough for the whole command bar: its groups take 1220 pixels.
constexpr QSize kContent(1230, 580);
constexpr QSize kWideIcon(144, 48);

QFont BoxFont() { return QFont(QStringLiteral("Verdana"), 12, QFont::Bold); }

QLineEdit* NewBox(const char* name, QWidget* parent, QRect geometry) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(BoxFont());
    box->setMaxLength(250);
    box->setGeometry(geometry);
    return box;
}

QLabel* NewHidden(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
    return label;
}

void NewSeparator(QWidget* parent, int y) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: #4682b4;"));
    line->setGeometry(0, y, kContent.width(), 2);
}

}  // namespace

TfrmArchivio_Indirizzi::TfrmArchivio_Indirizzi(Velmora& app)
    : ui::Window(QStringLiteral(" Velmora - Archivio Dati"), Frame::Sizeable, QSize(1290, 760)), app_(app) {
    const ui::WorkArea area =
        ui::MakeWorkArea(this, kContent, QStringLiteral("Pronto per archiviare una nuova scheda..."));
    panInfo = area.panInfo;
    BuildCommandBar(area);
    BuildBody(area.content);

    boxes_ = {txtNome, txtTipo, txtRigo01, txtRigo02, txtRigo03, txtRigo04, txtRigo05, txtRigo06, txtNote};
    attachments_ = {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03};
    for (std::size_t i = 1; i < boxes_.size(); ++i) setTabOrder(boxes_[i - 1], boxes_[i]);
    new ui::EnterCycle({boxes_.begin(), boxes_.end()}, true, this);
    auto* colour = new ui::FocusColour(this);
    for (QLineEdit* box : boxes_) {
        KeepArchivable(box, panInfo);
        colour->Add(box, box == txtNome || box == txtTipo || box == txtNote ? ui::FocusColour::kAliceBlue
                                                                             : ui::FocusColour::kWhite);
    }

    paging_ = std::make_unique<RecordPaging<DataRecord>>(
        this, app_.Folder(), lblPosizione, QStringLiteral("Scheda"), [this](const DataRecord& record) { Fill(record); },
        [this] { return RecordOnScreen(); });
}

TfrmArchivio_Indirizzi::~TfrmArchivio_Indirizzi() = default;

void TfrmArchivio_Indirizzi::BuildCommandBar(const ui::WorkArea& area) {
    using W = TfrmArchivio_Indirizzi;
    using archive_commands::kIcon;
    lblPosizione = ui::BuildCommandBar(
        area,
        {
            {
                archive_commands::Nuovo(*this),
                ui::Command{cmdDuplica, "cmdDuplica", "duplica", kIcon, ui::Call(this, &W::cmdDuplicaClick),
                            "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."},
                archive_commands::Salva(*this),
                ui::Command{cmdTrova, "cmdTrova", "trova", kIcon, ui::Call(this, &W::cmdTrovaClick),
                            "Trova schede in archivio."},
            },
            {ui::Command{cmdFile, "cmdFile", "allega", kWideIcon, ui::Call(this, &W::cmdFileClick),
                         "Allega file alla scheda corrente."}},
            {ui::Command{cmdStampa, "cmdStampa", "stampa", kWideIcon, ui::Call(this, &W::cmdStampaClick),
                         "Stampa indirizzo su busta da lettera."}},
            archive_commands::Paging(*this),
            {
                ui::Command{cmdEsporta, "cmdEsporta", "esporta", kIcon, ui::Call(this, &W::cmdEsportaClick),
                            "Esporta l'archivio in un file di Excel."},
                ui::Command{cmdAnteprima, "cmdAnteprima", "anteprima", kIcon, ui::Call(this, &W::cmdAnteprimaClick),
                            "Visualizza l'anteprima di stampa dell'etichetta corrente."},
            },
            {archive_commands::Guida(*this), archive_commands::Esci(*this)},
            {ui::Command{cmdImporta, "cmdImporta", "importa_csv", kIcon, ui::Call(this, &W::cmdImportaClick),
                         "Importa in archivio le schede di un file CSV."}},
        });
}

void TfrmArchivio_Indirizzi::BuildBody(QWidget* body) {
    QLabel* caption = ui::NewCaption(QStringLiteral("Nome etichetta:"), body, QPoint(0, 94));
    caption->setBuddy(txtNome = NewBox("txtNome", body, QRect(150, 88, 520, 34)));
    caption = ui::NewCaption(QStringLiteral("Tipo:"), body, QPoint(690, 94));
    caption->setBuddy(txtTipo = NewBox("txtTipo", body, QRect(745, 88, kContent.width() - 745, 34)));
    NewSeparator(body, 136);

    auto* decoration = new ui::Picture(QStringLiteral("imgArchivio"), QStringLiteral("archivio"), QSize(200, 300), body);
    decoration->move(90, 170);
    auto* heading = new ui::Picture(QStringLiteral("imgDatiEtichetta"), QStringLiteral("dati_etichetta"),
                                    QSize(560, 40), body);
    heading->move(480, 150);
    auto* label = new ui::Picture(QStringLiteral("imgEtichetta"), QStringLiteral("etichetta"), QSize(560, 300), body);
    label->move(480, 196);
    const char* lines[] = {"txtRigo01", "txtRigo02", "txtRigo03", "txtRigo04", "txtRigo05", "txtRigo06"};
    QLineEdit** members[] = {&txtRigo01, &txtRigo02, &txtRigo03, &txtRigo04, &txtRigo05, &txtRigo06};
    for (int i = 0; i < 6; ++i) {
        *members[i] = NewBox(lines[i], label, QRect(30, 24 + 44 * i, 500, 34));
        (*members[i])->setAccessibleName(QStringLiteral("Riga %1").arg(i + 1));
    }
    NewSeparator(body, 510);

    caption = ui::NewCaption(QStringLiteral("Note:"), body, QPoint(0, 536));
    caption->setBuddy(txtNote = NewBox("txtNote", body, QRect(70, 530, kContent.width() - 70, 34)));

    lblFile01 = NewHidden("lblFile01", body);
    lblFile02 = NewHidden("lblFile02", body);
    lblFile03 = NewHidden("lblFile03", body);
    lblDesc01 = NewHidden("lblDesc01", body);
    lblDesc02 = NewHidden("lblDesc02", body);
    lblDesc03 = NewHidden("lblDesc03", body);
}

std::array<QLineEdit*, 6> TfrmArchivio_Indirizzi::LineBoxes() const {
    return {txtRigo01, txtRigo02, txtRigo03, txtRigo04, txtRigo05, txtRigo06};
}

void TfrmArchivio_Indirizzi::Fill(const DataRecord& record) {
    for (std::size_t i = 0; i < boxes_.size(); ++i) ui::ShowText(boxes_[i], record.Text(DataRecord::Field(i)));
    for (std::size_t i = 0; i < attachments_.size(); ++i)
        attachments_[i]->setText(record.Text(DataRecord::Field(DataRecord::File01 + i)));
}

void TfrmArchivio_Indirizzi::ShowRecord(const DataRecord& record, long long number) {
    Fill(record);
    lblPosizione->setText(QString::number(number));
}

DataRecord TfrmArchivio_Indirizzi::RecordOnScreen() const {
    DataRecord record;
    for (std::size_t i = 0; i < boxes_.size(); ++i) record.SetText(DataRecord::Field(i), boxes_[i]->text());
    for (std::size_t i = 0; i < attachments_.size(); ++i)
        record.SetText(DataRecord::Field(DataRecord::File01 + i), attachments_[i]->text());
    return record;
}

void TfrmArchivio_Indirizzi::ClearAttachments() {
    for (QLabel* label : attachments_) label->clear();
}

void TfrmArchivio_Indirizzi::FormShow() { cmdNuovoClick(); }

void TfrmArchivio_Indirizzi::FormClose() { app_.HandOver(*this, app_.frmAvvio()); }

void TfrmArchivio_Indirizzi::cmdNuovoClick() {
    // The focus first: a screen reader follows it to the box, and the keys
    // typed next go there, emptied.
    txtNome->setFocus();
    for (QLineEdit* box : boxes_) box->clear();
    ClearAttachments();
    lblPosizione->clear();
}

void TfrmArchivio_Indirizzi::cmdSalvaClick() {
    struct Required {
        QLineEdit* box;
        const char* warning;
    };
    const Required required[] = {
        {txtNome, "Attenzione: per salvare la scheda è necessario indicare il nome dell'etichetta."},
        {txtTipo, "Attenzione: per salvare la scheda è necessario indicare il tipo di etichetta."},
        {txtRigo01, "Attenzione: per salvare la scheda è necessario compilare il primo rigo dell'etichetta."},
    };
    for (const Required& r : required) {
        if (IsBlank(r.box->text())) {
            ui::ShowMessage(this, QString::fromUtf8(r.warning), ui::Kind::Warning);
            r.box->setFocus();
            return;
        }
    }
    paging_->Save();
}

void TfrmArchivio_Indirizzi::cmdDuplicaClick() {
    if (IsBlank(lblPosizione->text())) {
        ui::ShowMessage(this,
                        QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che "
                                       "questa è stata inserita in archivio."),
                        ui::Kind::Warning);
        return;
    }
    ClearAttachments();
    lblPosizione->clear();
    if (!paging_->Probe()) return;
    txtNome->setFocus();
    ui::ShowMessage(this,
                    QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                                   "Al termine premere Salva per inserire la scheda in archivio."),
                    ui::Kind::Information);
}

void TfrmArchivio_Indirizzi::cmdPrimoClick() { paging_->First(); }
void TfrmArchivio_Indirizzi::cmdUltimoClick() { paging_->Last(); }
void TfrmArchivio_Indirizzi::cmdAvantiClick() { paging_->Next(); }
void TfrmArchivio_Indirizzi::cmdIndietroClick() { paging_->Previous(); }

void TfrmArchivio_Indirizzi::cmdTrovaClick() { ui::OpenDialog<TfrmTrovaIndirizzi>(app_, this); }

void TfrmArchivio_Indirizzi::cmdFileClick() {
    TfrmAllegaCartella dialog(app_, this);
    dialog.lblMemory->setText(TfrmAllegaCartella::kArchivioIndirizzi);
    const std::array<QLineEdit*, 6> boxes = dialog.Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) ui::ShowText(boxes[i], TrimText(attachments_[i]->text()));
    ui::RunModal(dialog);
}

void TfrmArchivio_Indirizzi::cmdStampaClick() { ui::OpenDialog<TfrmStampaBusta>(app_, this); }

void TfrmArchivio_Indirizzi::cmdAnteprimaClick() { ui::OpenDialog<TfrmAnteprima_Etichetta>(app_, this); }

void TfrmArchivio_Indirizzi::cmdEsportaClick() { ui::OpenDialog<TfrmExpIndirizzi>(app_, this); }

namespace {

// The first notices, one per line, and how many more there are.
QString FirstNotices(const csv_import::Notices& notices) {
    return notices.Lines(5, QStringLiteral("... e altri %1.")).join(QStringLiteral("\r\n"));
}

}  // namespace

void TfrmArchivio_Indirizzi::cmdImportaClick() {
    QFileDialog dialog(this, QStringLiteral("Selezionare il file CSV da importare:"), QDir::homePath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("File CSV (*.csv *.txt)"), QStringLiteral("Tutti i file (*)")});
    if (ui::RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;

    csv_import::Import import;
    try {
        import = csv_import::ReadFile(dialog.selectedFiles().first(), false);
    } catch (const FileError&) {
        ui::ShowMessage(this,
                        QStringLiteral("Attenzione: il sistema non permette di leggere il file indicato.\n\r\n\r"
                                       "Accertarsi che il file esista e di possedere i privilegi di lettura."),
                        ui::Kind::Error);
        return;
    }
    if (!import.errors.empty()) {
        ui::ShowMessage(this,
                        QStringLiteral("Attenzione: il file non può essere importato e l'archivio non è stato "
                                       "modificato.\n\r\n\r%1")
                            .arg(FirstNotices(import.errors)),
                        ui::Kind::Warning);
        return;
    }
    if (import.rows.empty()) {
        ui::ShowMessage(this, QStringLiteral("Il file non contiene schede da importare."), ui::Kind::Information);
        return;
    }
    QString question = import.Summary() + QStringLiteral(".");
    if (!import.warnings.empty()) question += QStringLiteral("\r\n\r\n") + FirstNotices(import.warnings);
    if (!import.ignoredColumns.isEmpty())
        question += QStringLiteral("\r\n\r\nColonne ignorate: %1.")
                        .arg(import.ignoredColumns.join(QStringLiteral(", ")));
    question += QStringLiteral("\r\n\r\nSi vogliono aggiungere le schede all'archivio?");
    if (ui::ShowMessage(this, question, ui::Kind::Confirmation, ui::Buttons::YesNo) != ui::Answer::Yes) return;

    long long first = 0;
    try {
        // The rows are in once Append returns; closing the archive afterwards
        // cannot take them back, so its failure does not undo the success.
        first = csv_import::Append(app_.Folder().Path(), import).first;
    } catch (const std::exception&) {
        paging::ReportAccessError(this);
        return;
    }
    ShowRecord(csv_import::RecordOf(import.rows.front()), first);
    const auto count = static_cast<long long>(import.rows.size());
    ui::ShowMessage(this,
                    count == 1 ? QStringLiteral("La scheda %1 è stata inserita in archivio.").arg(first)
                               : QStringLiteral("Le schede dalla %1 alla %2 sono state inserite in archivio.")
                                     .arg(first)
                                     .arg(first + count - 1),
                    ui::Kind::Information);
}

void TfrmArchivio_Indirizzi::cmdGuidaClick() {
    ShowHelp(this, app_.Folder(), QStringLiteral("App Archivio Dati"), HelpParagraphs());
}

void TfrmArchivio_Indirizzi::cmdEsciClick() { close(); }

QStringList TfrmArchivio_Indirizzi::HelpParagraphs() {
    return {
        QStringLiteral("L'app Archivio Dati serve a conservare i testi da stampare sulle etichette e a stampare "
                       "gli indirizzi direttamente sulle buste da lettera. Ogni scheda porta un nome descrittivo, "
                       "il tipo di etichetta ed eventuali note, che permettono di ritrovarla con facilità; il testo "
                       "vero e proprio dell'etichetta si scrive nei sei campi dell'area DATI ETICHETTA."),
        QStringLiteral("Per registrare una nuova etichetta premere il pulsante Nuovo (il foglio bianco), compilare "
                       "i campi e premere il pulsante Salva (il dischetto). Il nome dell'etichetta, il tipo e il "
                       "primo rigo sono obbligatori; gli altri campi possono restare vuoti."),
        QStringLiteral("Per aggiornare un'etichetta già presente in archivio occorre richiamarne la scheda, "
                       "apportare le modifiche e premere Salva. Le schede si richiamano con la ricerca oppure con "
                       "le frecce: scheda precedente, successiva, prima e ultima."),
        QStringLiteral("Il pulsante Duplica (i due fogli sovrapposti) serve quando una nuova etichetta ha dati in "
                       "comune con una già archiviata, per esempio due persone allo stesso indirizzo: richiamare la "
                       "vecchia scheda, premere Duplica, modificare i campi e premere Salva."),
        QStringLiteral("Il pulsante Trova (la lente d'ingrandimento) apre l'elenco delle schede: digitare una o più "
                       "parole consecutive contenute nella scheda e premere Trova; premendolo di nuovo si passa alla "
                       "voce successiva che le contiene. Un doppio clic su una riga richiama quella scheda."),
        QStringLiteral("Con il pulsante Allega file si possono associare a ogni scheda file esterni di qualsiasi "
                       "tipo, per esempio le copie dei documenti relativi alla persona a cui è indirizzata "
                       "l'etichetta."),
        QStringLiteral("Il pulsante Stampa stampa l'indirizzo visualizzato su una busta da lettera. Si possono "
                       "impostare i margini superiore e sinistro in millimetri: valori più alti spostano la stampa "
                       "in basso e a destra, valori più bassi o negativi in alto e a sinistra. L'orientamento, "
                       "verticale od orizzontale, si sceglie secondo le esigenze della stampante."),
        QStringLiteral("Il pulsante Anteprima (la lente sul foglio) mostra i dati correnti ripetuti su tutte le 24 "
                       "etichette del foglio A4, che si può stampare con l'icona della stampante dell'anteprima: è "
                       "comodo per contrassegnare molte confezioni dello stesso prodotto. Per stampare dati diversi "
                       "sulle 24 etichette si usa l'app Rarudozu Varedorur dalla finestra di avvio."),
        QStringLiteral("Il pulsante Esporta archivio (l'icona del foglio di calcolo) trasferisce tutti i dati "
                       "dell'archivio in un file per fogli di calcolo che Excel, e qualunque programma in grado di "
                       "leggere il formato XLS, può aprire."),
        QStringLiteral("Per esportare si apre la finestra con la griglia dei dati e si fa clic sull'icona del "
                       "foglio di calcolo: il file viene creato subito e, rispondendo sì alla domanda che segue, "
                       "si apre e si può salvare con il nome che si preferisce."),
        QStringLiteral("Il pulsante Importa (il foglio con la freccia, in fondo alla barra) aggiunge all'archivio "
                       "gli indirizzi di un file CSV, come quelli che un foglio di calcolo salva o che un altro "
                       "programma esporta. La prima riga del file deve dare il nome alle colonne: Nome (oppure "
                       "Nome etichetta), Tipo, Rigo 1 ... Rigo 6 (oppure Dati rigo 1 ... Dati rigo 6) e Note; le "
                       "altre colonne vengono ignorate. Prima di scrivere viene mostrato quante schede saranno "
                       "aggiunte, con gli eventuali avvisi, e si chiede conferma; un testo più lungo di 250 "
                       "caratteri blocca l'intera importazione, indicando la riga del file da correggere. Le "
                       "schede si aggiungono in fondo all'archivio, tutte insieme, e al termine viene mostrata la "
                       "prima."),
    };
}
