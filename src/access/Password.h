#pragma once
#include "app/ui/WindowFrame.h"

class QLineEdit;
class QPushButton;
class Velmora;

// The login window, the program's main window.
class TfrmPassword : public ui::Window {
public:
    explicit TfrmPassword(Velmora& app);

    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdEsci;
    QPushButton* btnCambiaPassword;

    void cmdOKClick();
    void cmdEsciClick();
    void btnCambiaPasswordClick();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    Velmora& app_;
};
