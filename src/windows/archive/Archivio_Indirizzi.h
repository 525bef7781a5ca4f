#pragma once
#include "ui/WindowFrame.h"
#include "core/archive/DataRecord.h"
#include "windows/archive/RecordPaging.h"

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class Velmora;
namespace ui { class PictureButton; struct WorkArea; }

// The data archive window ("Archivio Dati"): one record of Archivio_Dati.pro
// at a time, created, duplicated, saved and paged through.
class TfrmArchivio_Indirizzi : public ui::Window {
public:
    explicit TfrmArchivio_Indirizzi(Velmora& app);
    ~TfrmArchivio_Indirizzi() override;

    // The nine boxes, the six hidden attachment labels and the record number.
    QLineEdit *txtNome, *txtTipo, *txtRigo01, *txtRigo02, *txtRigo03, *txtRigo04, *txtRigo05, *txtRigo06, *txtNote;
    QLabel *lblFile01, *lblFile02, *lblFile03, *lblDesc01, *lblDesc02, *lblDesc03;
    QLabel* lblPosizione;
    QLabel* panInfo;

    ui::PictureButton *cmdNuovo, *cmdDuplica, *cmdSalva, *cmdTrova, *cmdFile, *cmdStampa, *cmdPrimo,
        *cmdIndietro, *cmdAvanti, *cmdUltimo, *cmdEsporta, *cmdAnteprima, *cmdGuida, *cmdEsci, *cmdImporta;

    void cmdNuovoClick();
    void cmdDuplicaClick();
    void cmdSalvaClick();
    void cmdTrovaClick();
    void cmdFileClick();
    void cmdStampaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void cmdEsportaClick();
    void cmdAnteprimaClick();
    void cmdGuidaClick();
    void cmdEsciClick();
    // Imports a CSV file: the file dialog, what the file brings, a question,
    // then every row appended and the first new record on screen.
    void cmdImportaClick();

    // Puts a record read from the file on screen with its number, as paging does.
    void ShowRecord(const DataRecord& record, long long number);

    // The screen's texts in the record's field order (boxes, then attachments).
    DataRecord RecordOnScreen() const;

    // The six line boxes, line 1 first.
    std::array<QLineEdit*, 6> LineBoxes() const;

    static QStringList HelpParagraphs();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void BuildCommandBar(const ui::WorkArea& area);
    void BuildBody(QWidget* body);
    void Fill(const DataRecord& record);
    void ClearAttachments();

    Velmora& app_;
    std::array<QLineEdit*, 9> boxes_{};
    std::array<QLabel*, 6> attachments_{};
    std::unique_ptr<RecordPaging<DataRecord>> paging_;
};
