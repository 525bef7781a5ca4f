#pragma once
#include "windows/sheets/SheetPrintWindow.h"

class Velmora;

// The sheet print: the page on screen in the label sheet window, printed through the print dialog.
class TfrmStampa_Etichette : public SheetPrintWindow {
public:
    TfrmStampa_Etichette(Velmora& app, QWidget* owner);
};
