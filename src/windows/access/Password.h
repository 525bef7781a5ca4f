#pragma once
#include "ui/WindowFrame.h"

class QLabel;
class QLineEdit;
class QPushButton;
class Velmora;

// The login window, the program's main window: asks for the access password
// and opens the launcher when it matches the stored one.
class TfrmPassword : public ui::Window {
public:
    explicit TfrmPassword(Velmora& app);

    QLineEdit* txtPassword;
    QWidget* effPassword;
    QLabel* lblRigo05;
    QLabel* lblMemory;
    QPushButton* cmdOK;
    QPushButton* cmdEsci;
    QPushButton* btnCambiaPassword;

    void txtPasswordEnter();
    void cmdOKClick();
    void cmdEsciClick();
    void btnCambiaPasswordClick();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    Velmora& app_;
};
