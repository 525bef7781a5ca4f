#pragma once
#include "ui/WindowFrame.h"
#include "core/sheets/Calibration.h"

#include <array>
#include <optional>

class ProgramFolder;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Calibrazione della stampante: a printer's calibration for label sheets,
// chosen among the printers of the system, seen and changed, tried on a test
// sheet and saved in Impostazioni.ini. A modal dialog, created by its opener
// for one use.
class TfrmCalibrazione : public ui::Dialog {
public:
    TfrmCalibrazione(const ProgramFolder& folder, QWidget* owner);
    ~TfrmCalibrazione() override;

    QLabel* lblIstruzioni;
    QComboBox* cboStampante;
    // Offsets in millimetres, scales in percent, as calibration::Value orders them.
    QLineEdit *txtSpostamentoX, *txtSpostamentoY, *txtScalaX, *txtScalaY;
    QLabel* panInfo;
    QPushButton *btnAnnulla, *btnProva, *btnSalva;

    // The stored values of the printer chosen.
    void cboStampanteChange();
    // Prints the test sheet on the printer chosen with the values as they
    // stand, saved or not.
    void btnProvaClick();
    // Stores the values for the printer chosen and closes.
    void btnSalvaClick();

protected:
    void FormShow() override;

private:
    std::array<QLineEdit*, 4> Boxes() const { return {txtSpostamentoX, txtSpostamentoY, txtScalaX, txtScalaY}; }
    // The printer chosen and the values in the boxes; nothing, after a
    // message, when there is no printer or a value is wrong.
    std::optional<calibration::Calibration> Values();
    bool HasPrinter();

    const ProgramFolder& folder_;
};
