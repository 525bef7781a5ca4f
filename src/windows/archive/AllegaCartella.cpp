#include "windows/archive/AllegaCartella.h"

#include "core/archive/AttachmentName.h"
#include "core/folder/DocumentCopy.h"
#include "core/folder/FileAccess.h"
#include "core/folder/ProgramFolder.h"
#include "core/folder/TextRules.h"
#include "windows/app/Velmora.h"
#include "ui/Gradient.h"
#include "ui/Messages.h"
#include "ui/ModalRunner.h"
#include "ui/PictureButton.h"
#include "windows/archive/ArchiveBox.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "windows/shell/OpenURL.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

constexpr QSize kSize(720, 596);

qint64& LargeFileSize() {
    static qint64 bytes = qint64(64) << 20;
    return bytes;
}

const QString kOverwrite = QStringLiteral(
    "Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso nome.\r\n\r\n"
    "Si vuole sovrascrivere il file esistente?");
const QString kCopyFailed = QStringLiteral(
    "Attenzione: non è stato possibile copiare il file nella cartella dei documenti allegati.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
const QString kNotAttachable = QStringLiteral(
    "Attenzione: il file scelto non può essere allegato.\n\r\n\r"
    "%1.");
const QString kLink = QStringLiteral(
    "Attenzione: %1 è un collegamento simbolico. Il programma non copia i documenti allegati attraverso "
    "un collegamento e non lo sostituisce.\n\r\n\r"
    "Eliminare il collegamento e ripetere l'operazione.");

// The full path of the attached file called name: the attachments folder and
// the trimmed name. Empty when the name is not a bare file name (blank, "."
// or "..", or holding a folder separator of either system): a name read from
// the archive must never reach a file outside the folder.
QString AttachedFile(const QString& folder, const QString& name) {
    const QString bare = TrimText(name);
    return IsBareName(bare) ? folder + QLatin1Char('/') + bare : QString();
}

// The progress of a large copy, in thousandths; Annulla cancels.
constexpr int kProgressSteps = 1000;
std::unique_ptr<QProgressDialog> NewProgress(QWidget* owner, const QString& name) {
    auto progress = std::make_unique<QProgressDialog>(
        QStringLiteral("Copia del file \"%1\" nella cartella dei documenti allegati in corso...").arg(name),
        QStringLiteral("Annulla"), 0, kProgressSteps, owner);
    progress->setWindowTitle(QStringLiteral(" Allega file"));
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(0);
    progress->show();
    return progress;
}

QLineEdit* NewBox(const QString& name, QWidget* parent, QRect geometry) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    box->setGeometry(geometry);
    return box;
}

}  // namespace

TfrmAllegaCartella::TfrmAllegaCartella(Velmora& app, QWidget* owner)
    : ui::Dialog(owner, QStringLiteral(" Allega file"), kSize, ui::Centre::Screen), app_(app) {
    auto* bkgSfondo = new ui::Gradient(QStringLiteral("bkgSfondo"), ui::colour::kWhite, ui::colour::kLightBlue, this);
    bkgSfondo->setGeometry(QRect(QPoint(0, 0), kSize));
    auto* imgIstruzioni =
        new ui::Picture(QStringLiteral("imgIstruzioni"), QStringLiteral("allega_istruzioni"), QSize(680, 100), this);
    imgIstruzioni->move(20, 12);

    QList<QWidget*> focusOrder;
    for (int n = 1; n <= kAttachments; ++n) {
        Attachment& slot = attachments[std::size_t(n - 1)];
        auto named = [n](const char* kind) {
            return QLatin1String(kind) + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        };
        const int y = 124 + 136 * (n - 1);
        auto* shpFile = new ui::Gradient(named("shpFile"), ui::colour::kWhite, ui::colour::kWhite, this);
        shpFile->SetOutline(ui::colour::kSteelBlue);
        shpFile->setGeometry(20, y, 680, 126);

        ui::NewCaption(QStringLiteral("Nome %1° file allegato:").arg(n), this, QPoint(32, y + 8))
            ->setBuddy(slot.txtFile = NewBox(named("txtFile"), this, QRect(32, y + 30, 390, 32)));
        slot.txtFile->setReadOnly(true);
        slot.txtFile->setStyleSheet(QStringLiteral("color: grey;"));
        slot.btnSfoglia =
            ui::NewButton(named("btnSfoglia"), QStringLiteral("Sfoglia..."), QRect(432, y + 30, 110, 32), this);
        slot.btnApri = ui::NewButton(named("btnApri"), QStringLiteral("Apri"), QRect(552, y + 30, 90, 32), this);
        slot.btnApri->setEnabled(false);
        slot.imgCancella = new ui::PictureButton(named("imgCancella"), QStringLiteral("cancella"), QSize(32, 32), this);
        slot.imgCancella->move(656, y + 30);

        ui::NewCaption(QStringLiteral("Descrizione %1° file allegato:").arg(n), this, QPoint(32, y + 68))
            ->setBuddy(slot.txtDesc = NewBox(named("txtDesc"), this, QRect(32, y + 88, 656, 32)));
        // The three rows' buttons look alike: their names tell the row.
        const QString file = QStringLiteral(", %1° file allegato").arg(n);
        slot.btnSfoglia->setAccessibleName(QStringLiteral("Sfoglia") + file);
        slot.btnApri->setAccessibleName(QStringLiteral("Apri") + file);
        slot.imgCancella->setAccessibleName(QStringLiteral("Cancella") + file);
        KeepArchivable(slot.txtDesc, nullptr);

        focusOrder << slot.txtFile << slot.btnSfoglia << slot.btnApri << slot.txtDesc;
        connect(slot.txtFile, &QLineEdit::textChanged, slot.btnApri, [btnApri = slot.btnApri](const QString& name) {
            btnApri->setEnabled(!IsBlank(name));
        });
        connect(slot.btnSfoglia, &QPushButton::clicked, this, [this, n] { btnSfogliaClick(n); });
        connect(slot.btnApri, &QPushButton::clicked, this, [this, n] { btnApriClick(n); });
        connect(slot.imgCancella, &ui::PictureButton::clicked, this, [this, n] { imgCancellaClick(n); });
    }

    btnApplica = ui::NewButton(QStringLiteral("btnApplica"), QStringLiteral("Applica e chiudi"),
                               QRect(380, 546, 180, 36), this);
    btnAnnulla = ui::NewButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), QRect(570, 546, 130, 36), this);
    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    focusOrder << btnApplica << btnAnnulla;
    for (qsizetype i = 1; i < focusOrder.size(); ++i) setTabOrder(focusOrder[i - 1], focusOrder[i]);
    // Enter presses no button of its own accord.
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

    lblMemory = new QLabel(QStringLiteral("lblMemory"), this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();
}

std::array<QLineEdit*, 2 * TfrmAllegaCartella::kAttachments> TfrmAllegaCartella::Boxes() const {
    std::array<QLineEdit*, 2 * kAttachments> boxes;
    for (std::size_t i = 0; i < attachments.size(); ++i) {
        boxes[i] = attachments[i].txtFile;
        boxes[kAttachments + i] = attachments[i].txtDesc;
    }
    return boxes;
}

qint64 TfrmAllegaCartella::SetLargeFileSize(qint64 bytes) {
    std::swap(LargeFileSize(), bytes);
    return bytes;
}

QString TfrmAllegaCartella::AttachmentsFolder() const {
    return app_.Folder().File(QLatin1String(ProgramFolder::kAttachmentsFolder));
}

QFileDialog& TfrmAllegaCartella::FileDialog() {
    if (!dlgFile) {
        dlgFile = new QFileDialog(this, QStringLiteral("Selezionare il file da allegare:"), QDir::homePath());
        dlgFile->setOption(QFileDialog::DontUseNativeDialog);
        dlgFile->setFileMode(QFileDialog::ExistingFile);
        // The entry reads "Tutti i file (*.*)" and shows every file, also
        // those without a dot in their name: the pattern in use is the last
        // parenthesis, which the dialog keeps out of sight.
        dlgFile->setOption(QFileDialog::HideNameFilterDetails);
        dlgFile->setNameFilter(QStringLiteral("Tutti i file (*.*) (*)"));
    }
    return *dlgFile;
}

void TfrmAllegaCartella::btnSfogliaClick(int n) {
    // The choice opens where the user last chose a file, in this window or an
    // earlier one.
    static QString lastFolder = QDir::homePath();
    QFileDialog& dialog = FileDialog();
    dialog.setDirectory(lastFolder);
    if (ui::RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString source = dialog.selectedFiles().first();
    lastFolder = QFileInfo(source).absolutePath();
    QLineEdit* txtFile = FileBox(n);
    const QString before = txtFile->text();
    // The name the record will keep, which is the name of the copy.
    const QString fileName = QFileInfo(source).fileName();
    txtFile->setText(AttachmentName(fileName));
    if (!Attach(source, txtFile->text())) {
        txtFile->setText(before);
        return;
    }
    TellChangedLetters(txtFile, nullptr, AttachmentNameChanges(fileName));
    // What the user types next describes the document just attached.
    attachments[std::size_t(n - 1)].txtDesc->setFocus();
}

bool TfrmAllegaCartella::Attach(const QString& source, const QString& name) {
    DocumentCopy copy(source, app_.Folder().Path(), QLatin1String(ProgramFolder::kAttachmentsFolder), name);
    switch (copy.Where()) {
    case DocumentCopy::Place::Refused:
        ui::ShowMessage(this, kNotAttachable.arg(copy.Reason()), ui::Kind::Error);
        return false;
    case DocumentCopy::Place::Link:
        ui::ShowMessage(this, kLink.arg(copy.Reason()), ui::Kind::Error);
        return false;
    case DocumentCopy::Place::Failed:
        ui::ShowMessage(this, kCopyFailed, ui::Kind::Error);
        return false;
    case DocumentCopy::Place::Source:
        // The folder's own file is already in place.
        return true;
    case DocumentCopy::Place::Taken:
        // Another file of that name is replaced only when the user says so.
        if (ui::ShowMessage(this, kOverwrite, ui::Kind::Confirmation, ui::Buttons::YesNo) != ui::Answer::Yes)
            return true;
        break;
    case DocumentCopy::Place::Free:
        break;
    }
    // Large files are copied under a progress dialog that keeps the window
    // responsive and can cancel the copy.
    std::unique_ptr<QProgressDialog> progress;
    if (copy.Size() >= LargeFileSize()) progress = NewProgress(this, name);
    const DocumentCopy::Outcome outcome = copy.Run([&](qint64 copied) {
        if (!progress) return true;
        progress->setValue(int(copied * kProgressSteps / std::max(copy.Size(), copied)));
        QCoreApplication::processEvents();
        return !progress->wasCanceled();
    });
    if (outcome == DocumentCopy::Outcome::Failed) ui::ShowMessage(this, kCopyFailed, ui::Kind::Error);
    return outcome == DocumentCopy::Outcome::Done;
}

void TfrmAllegaCartella::btnApriClick(int n) {
    const QString file = AttachedFile(AttachmentsFolder(), FileBox(n)->text());
    if (!file.isEmpty()) TMisc::Open(QLatin1Char('"') + file + QLatin1Char('"'));
}

void TfrmAllegaCartella::imgCancellaClick(int n) { FileBox(n)->clear(); }

void TfrmAllegaCartella::btnApplicaClick() {
    if (TrimText(lblMemory->text()) != kArchivioIndirizzi) return;
    const TfrmArchivio_Indirizzi& archivio = app_.frmArchivio_Indirizzi();
    QLabel* const labels[] = {archivio.lblFile01, archivio.lblFile02, archivio.lblFile03,
                              archivio.lblDesc01, archivio.lblDesc02, archivio.lblDesc03};
    const auto boxes = Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) labels[i]->setText(TrimText(boxes[i]->text()));
    accept();
}
