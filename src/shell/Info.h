#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
// Informazioni su Velmora: a modal dialog, created by its opener for one use.
class TfrmInfo : public ui::Dialog {
public:
    explicit TfrmInfo(QWidget* owner);

    QPushButton* btnChiudi;

private:
};
