#pragma once
#include "core/archive/RecordFile.h"
#include "core/archive/ShortText.h"
#include "core/folder/ProgramFolder.h"

#include <array>

// One record of Archivio_Dati.pro: 15 fields, 3765 bytes.
struct DataRecord {
    static constexpr const char* kFileName = ProgramFolder::kDataArchive;
    enum Field { Nome, Tipo, Rigo01, Rigo02, Rigo03, Rigo04, Rigo05, Rigo06, Note,
                 File01, File02, File03, Desc01, Desc02, Desc03, kFieldCount };

    std::array<ShortText250, kFieldCount> field{};

    // Rigo(1) .. Rigo(6), File(1) .. File(3), Desc(1) .. Desc(3).
    static constexpr Field Rigo(int line) { return Field(Rigo01 + line - 1); }
    static constexpr Field File(int n) { return Field(File01 + n - 1); }
    static constexpr Field Desc(int n) { return Field(Desc01 + n - 1); }

    QString Text(Field f) const { return DecodeShortText(field[f]); }
    void SetText(Field f, const QString& text) { field[f] = EncodeShortText(text); }
};
static_assert(sizeof(DataRecord) == 3765);

using DataRecordFile = RecordFile<DataRecord>;
