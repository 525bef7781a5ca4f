#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// Allega file: a modal dialog, created by its opener for one use.
class TfrmAllegaCartella : public ui::Dialog {
public:
    TfrmAllegaCartella(Velmora& app, QWidget* owner);

    QPushButton* btnChiudi;

private:
    Velmora& app_;
};
