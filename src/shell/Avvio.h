#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// The launcher: the hub behind the login.
class TfrmAvvio : public ui::Window {
public:
    explicit TfrmAvvio(Velmora& app);

    QPushButton* btnApp01;
    QPushButton* btnApp02;
    QPushButton* imgEsci;

protected:
    void FormClose() override;

private:
    Velmora& app_;
};
