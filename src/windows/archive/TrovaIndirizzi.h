#pragma once
#include "windows/archive/RecordPicker.h"

// The find picker: loads the picked record into the data archive window.
class TfrmTrovaIndirizzi : public RecordPicker {
public:
    TfrmTrovaIndirizzi(Velmora& app, QWidget* owner);
};
