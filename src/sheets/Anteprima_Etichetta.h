#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// Anteprima di stampa: a modal dialog, created by its opener for one use.
class TfrmAnteprima_Etichetta : public ui::Dialog {
public:
    TfrmAnteprima_Etichetta(Velmora& app, QWidget* owner);

    QPushButton* btnChiudi;

private:
    Velmora& app_;
};
