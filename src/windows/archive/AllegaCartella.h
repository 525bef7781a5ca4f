#pragma once
#include "ui/WindowFrame.h"

#include <QString>

#include <array>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class Velmora;
namespace ui { class PictureButton; }

// Allega file: up to three documents attached to the record of the data
// archive window. A chosen file is copied at once into the attachments folder
// Documenti_Allegati beside the program, under the name its record can keep
// (AttachmentName), never through a link there; the slot keeps that name and a
// description. Applica e chiudi writes the six boxes back into the data
// archive window's hidden labels; the record reaches the file only with its
// Salva. A modal dialog, created by its opener for one use.
class TfrmAllegaCartella : public ui::Dialog {
public:
    TfrmAllegaCartella(Velmora& app, QWidget* owner);

    // The caller tag the data archive window puts into lblMemory.
    inline static const QString kArchivioIndirizzi = QStringLiteral("archivio_indirizzi");

    // One attached document: its file name (read-only, set by browsing),
    // its description and the buttons acting on it. The controls are named
    // with the slot's number in two digits: txtFile01.
    struct Attachment {
        QLineEdit* txtFile;
        QLineEdit* txtDesc;
        QPushButton* btnSfoglia;
        QPushButton* btnApri;
        ui::PictureButton* imgCancella;
    };
    static constexpr int kAttachments = 3;
    // The slots in order; n in the handlers is the slot's number, 1 to 3.
    std::array<Attachment, kAttachments> attachments;
    QPushButton* btnApplica;
    QPushButton* btnAnnulla;
    // The caller tag (hidden); Applica e chiudi acts only for kArchivioIndirizzi.
    QLabel* lblMemory;
    // The file-open dialog, made at the first browse and kept for the others.
    QFileDialog* dlgFile = nullptr;

    void btnSfogliaClick(int n);
    void btnApriClick(int n);
    void imgCancellaClick(int n);
    void btnApplicaClick();

    // The six boxes in the record's field order: the three names, then the
    // three descriptions.
    std::array<QLineEdit*, 2 * kAttachments> Boxes() const;

    // Files of at least this size are copied under a progress dialog that can
    // cancel the copy. Returns the size it replaces (tests make it small).
    static qint64 SetLargeFileSize(qint64 bytes);

private:
    QLineEdit* FileBox(int n) const { return attachments[std::size_t(n - 1)].txtFile; }
    QString AttachmentsFolder() const;
    QFileDialog& FileDialog();
    // Copies the chosen file into the attachments folder as name; false when
    // it refused the file, the user cancelled the copy or it failed (then it
    // has said so).
    bool Attach(const QString& source, const QString& name);

    Velmora& app_;
};
