#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// Stampa indirizzo su busta: a modal dialog, created by its opener for one use.
class TfrmStampaBusta : public ui::Dialog {
public:
    TfrmStampaBusta(Velmora& app, QWidget* owner);

    QPushButton* btnChiudi;

private:
    Velmora& app_;
};
