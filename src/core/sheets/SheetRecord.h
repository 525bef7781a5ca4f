#pragma once
#include "core/archive/RecordFile.h"
#include "core/archive/ShortText.h"
#include "core/folder/ProgramFolder.h"
#include "core/sheets/LabelGrid.h"

#include <array>

// One page of Archivio_Etichette.pro: the names of the slots of the label
// grid, then the lines of each slot, slot after slot; 168 fields, 42168 bytes.
struct SheetRecord {
    static constexpr const char* kFileName = ProgramFolder::kSheetArchive;
    static constexpr int kFieldCount = label_grid::kSlots * (1 + label_grid::kLines);

    std::array<ShortText250, kFieldCount> field{};

    // Field index of the name of a slot and of line L of a slot.
    static constexpr int NameField(int slot) { return slot - 1; }
    static constexpr int LineField(int line, int slot) {
        return label_grid::kSlots + label_grid::kLines * (slot - 1) + line - 1;
    }
};
static_assert(sizeof(SheetRecord) == 42168);

using SheetRecordFile = RecordFile<SheetRecord>;
