#pragma once
#include "archive/RecordFile.h"
#include "archive/ShortText.h"

#include <array>

// One page of Archivio_Etichette.pro: the names of the 24 slots, then six
// lines per slot, slot after slot; 168 fields, 42168 bytes.
struct SheetRecord {
    static constexpr const char* kFileName = "Archivio_Etichette.pro";
    static constexpr int kSlots = 24;
    static constexpr int kLines = 6;
    static constexpr int kFieldCount = kSlots + kSlots * kLines;

    std::array<ShortText250, kFieldCount> field{};

    // Field index of the name of slot 1 .. 24 and of line 1 .. 6 of a slot.
    static constexpr int NameField(int slot) { return slot - 1; }
    static constexpr int LineField(int line, int slot) { return kSlots + kLines * (slot - 1) + line - 1; }
};
static_assert(sizeof(SheetRecord) == 42168);

using SheetRecordFile = RecordFile<SheetRecord>;
