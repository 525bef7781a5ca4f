#pragma once
#include "ui/WindowFrame.h"
#include "windows/archive/RecordPaging.h"
#include "core/sheets/LabelGrid.h"
#include "print/templates/LabelSheet.h"
#include "core/sheets/SheetRecord.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class Velmora;
namespace ui { class PictureButton; struct WorkArea; }

// The label sheet window ("Rarudozu Varedorur"): one page of labels of
// Archivio_Etichette.pro at a time, filled by importing records of the data
// archive into its slots, saved and paged through.
class TfrmArchivio_Etichette : public ui::Window {
public:
    explicit TfrmArchivio_Etichette(Velmora& app);
    ~TfrmArchivio_Etichette() override;

    // The name box txtNome_E01 .. of a slot.
    QLineEdit* txtNome(int slot) const { return names_[slot - 1]; }
    // The hidden line label txtRigo01_E01 ..: line L of a slot.
    QLabel* txtRigo(int line, int slot) const { return lines_[slot - 1][line - 1]; }
    // The import arrow impIndirizzo_E01 .. of a slot.
    ui::PictureButton* impIndirizzo(int slot) const { return imports_[slot - 1]; }

    QLabel* lblPosizione;
    QLabel* panInfo;
    ui::PictureButton *cmdNuovo, *cmdSalva, *cmdAnteprima, *cmdStampa, *cmdPrimo, *cmdIndietro, *cmdAvanti,
        *cmdUltimo, *cmdGuida, *cmdEsci, *cmdCalibra;

    void cmdNuovoClick();
    void cmdSalvaClick();
    void cmdAnteprimaClick();
    void cmdStampaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void cmdGuidaClick();
    void cmdEsciClick();
    void cmdCalibraClick();
    void impIndirizzoClick(int slot);

    // The line labels as they stand, saved or not.
    label_sheet::Lines LinesOnScreen() const;

    // Empties the name box and the six line labels of a slot.
    void ClearSlot(int slot);

    static QStringList HelpParagraphs();

protected:
    void FormShow() override;
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCommandBar(const ui::WorkArea& area);
    void BuildSlots(QWidget* content);
    void Fill(const SheetRecord& record);
    SheetRecord PageOnScreen() const;

    Velmora& app_;
    std::array<QLineEdit*, label_grid::kSlots> names_{};
    std::array<std::array<QLabel*, label_grid::kLines>, label_grid::kSlots> lines_{};
    std::array<ui::PictureButton*, label_grid::kSlots> imports_{};
    std::unique_ptr<RecordPaging<SheetRecord>> paging_;
};
