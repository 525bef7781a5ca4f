#pragma once
#include "windows/sheets/SheetPrintWindow.h"

class Velmora;

// The single-record preview: the six lines on screen in the data archive window on every label of the sheet.
class TfrmAnteprima_Etichetta : public SheetPrintWindow {
public:
    TfrmAnteprima_Etichetta(Velmora& app, QWidget* owner);
};
