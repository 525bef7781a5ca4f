#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// Stampa pagina etichette: a modal dialog, created by its opener for one use.
class TfrmStampa_Etichette : public ui::Dialog {
public:
    TfrmStampa_Etichette(Velmora& app, QWidget* owner);

    QPushButton* btnChiudi;

private:
    Velmora& app_;
};
