#pragma once
#include "ui/WindowFrame.h"

#include <QStringList>

class QLabel;
class QTableView;
class Velmora;
namespace ui {
class Picture;
class PictureButton;
}  // namespace ui

// Esportazione archivio dati in Excel: a modal dialog, created by its opener
// for one use. It shows the whole data archive in a grid, filled once when it
// is shown, and writes the grid on request to Archivio_Dati.xls. Three columns
// can be edited; what is typed there goes into the export, never into the
// archive.
class TfrmExpIndirizzi : public ui::Dialog {
public:
    // The columns of grdRecords.
    enum Column {
        colNum, colNome, colTipo, colRigo01, colRigo02, colRigo03, colRigo04, colRigo05, colRigo06, colNote,
        kColumns
    };

    TfrmExpIndirizzi(Velmora& app, QWidget* owner);
    ~TfrmExpIndirizzi() override;

    ui::Picture* imgLogo;
    ui::Picture* icoHand;
    ui::PictureButton* cmdEsporta;
    ui::PictureButton* cmdGuida;
    ui::PictureButton* cmdEsci;
    QTableView* grdRecords;
    QLabel* panInfo;

    // Asks, writes the grid as it stands to Archivio_Dati.xls, and offers to
    // open it; a failure is reported and leaves any earlier file whole.
    void cmdEsportaClick();
    void cmdGuidaClick();
    void cmdEsciClick();

    static QStringList HelpParagraphs();

protected:
    void FormShow() override;

private:
    class Grid;
    void CommitEdit();
    bool ClearOfficeLock(const QString& path);

    Velmora& app_;
    Grid* grid_;
};
