#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
class Velmora;

// Esportazione archivio dati in Excel: a modal dialog, created by its opener for one use.
class TfrmExpIndirizzi : public ui::Dialog {
public:
    TfrmExpIndirizzi(Velmora& app, QWidget* owner);

    QPushButton* btnChiudi;

private:
    Velmora& app_;
};
