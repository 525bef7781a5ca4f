#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// The change-password window, reached from the login window.
class TfrmCambiaPassword : public ui::Window {
public:
    explicit TfrmCambiaPassword(Velmora& app);

    QPushButton* cmdEsci;

protected:
    void FormClose() override;

private:
    Velmora& app_;
};
