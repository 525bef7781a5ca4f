#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// Anteprima di stampa: a modal dialog, created by its opener for one use.
class TfrmAnteprima_Etichette : public ui::Dialog {
public:
    TfrmAnteprima_Etichette(Velmora& app, QWidget* owner);

    QPushButton* btnChiudi;

private:
    Velmora& app_;
};
