#pragma once
#include "windows/sheets/SheetPrintWindow.h"

class Velmora;

// The sheet preview: the page on screen in the label sheet window, shown in the preview window.
class TfrmAnteprima_Etichette : public SheetPrintWindow {
public:
    TfrmAnteprima_Etichette(Velmora& app, QWidget* owner);
};
