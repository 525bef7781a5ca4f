#pragma once
#include "windows/archive/RecordPicker.h"

// The import picker: copies the picked record's name and lines into the slot
// of the label sheet window named by lblMemory.
class TfrmImportaIndirizzi : public RecordPicker {
public:
    TfrmImportaIndirizzi(Velmora& app, QWidget* owner);
};
