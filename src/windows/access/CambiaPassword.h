#pragma once
#include "ui/WindowFrame.h"

class QLabel;
class QLineEdit;
class QPushButton;
class Velmora;

// The change-password window, reached from the login window before logging
// in: the current password, the new one twice. Every close leads back to the
// login window.
class TfrmCambiaPassword : public ui::Window {
public:
    explicit TfrmCambiaPassword(Velmora& app);

    QLabel *lblRigo05, *lblRigo06, *lblRigo07;
    QLineEdit *txtPasswordOld, *txtPasswordNew, *txtConferma;
    QWidget *effPasswordOld, *effPasswordNew, *effConferma;
    QPushButton* cmdEsci;
    QPushButton* cmdOK;

    void cmdOKClick();
    void cmdEsciClick();

protected:
    void FormShow() override;
    void keyPressEvent(QKeyEvent* event) override;
    void FormClose() override;

private:
    // Reports a failure of the password file; the window stays as it is.
    void ReportFailure();
    // Empties the two new-password boxes for a fresh try.
    void RetypeNew();

    Velmora& app_;
};
