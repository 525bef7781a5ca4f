#pragma once
#include "ui/WindowFrame.h"
#include "print/engine/Model.h"

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class Velmora;

// Stampa indirizzo su busta: the six lines on screen in the data archive
// window printed as an address on an envelope, with top and left margins and
// an orientation kept in Impostazioni.ini. A modal dialog, created by its
// opener for one use.
class TfrmStampaBusta : public ui::Dialog {
public:
    TfrmStampaBusta(Velmora& app, QWidget* owner);
    ~TfrmStampaBusta() override;

    QWidget* imgMargini;
    QWidget* panOrientamento;
    QRadioButton *optVerticale, *optOrizzontale;
    QWidget *panTop, *panLeft;
    QPushButton *btnTopMinus, *btnTopPlus, *btnLeftMinus, *btnLeftPlus;
    QLineEdit *txtTop, *txtLeft;
    QPushButton *btnApplicaTop, *btnApplicaLeft;
    QLabel* lblAttendere;
    QPushButton *btnAnnulla, *btnStampa;
    std::unique_ptr<report::TrepReport> repModulo;

    void btnTopMinusClick();
    void btnTopPlusClick();
    void btnLeftMinusClick();
    void btnLeftPlusClick();
    // Store the top (left) margin, then the orientation. Throw IniError.
    void btnApplicaTopClick();
    void btnApplicaLeftClick();
    // Saves the settings, then prints the envelope through the print dialog
    // and closes; any failure on the way ends in one message.
    void btnStampaClick();

protected:
    void FormShow() override;

private:
    bool PrintEnvelope();
    void Step(QLineEdit* margin, int step);

    Velmora& app_;
};
