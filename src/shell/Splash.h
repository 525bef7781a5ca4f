#pragma once
#include "app/ui/WindowFrame.h"

class QPushButton;
// Velmora - software di Officina Esempio (sito d'esempio): a modal dialog, created by its opener for one use.
class TfrmSplash : public ui::Dialog {
public:
    explicit TfrmSplash(QWidget* owner);

    QPushButton* btnChiudi;

private:
};
